// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "render/frame_clock.h"

namespace rs {

FrameClock::FrameClock(int time, int step) : step_(step) {
    clock_.simTime = time;
}

double FrameClock::next() {
    if (started_) {
        // The frame before took the first tick of the step.
        for (int tick = 1; tick < step_; ++tick)
            clockTick(clock_, [] {});
    }
    started_ = true;
    double drawn = 0.0;
    while (!clockTick(clock_, [&] { drawn = clock_.simTime; })) {
    }
    return drawn;
}

} // namespace rs
