// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The clock values of the exported frames: the window's animation clock, tick by tick.

#include "sim/scene.h"

namespace rs {

// The first frame is drawn at the start time. Between two frames the clock makes `step` ticks, each by
// the window's rule, so the tick on which it wraps from past 100000 to -100000 is one of them. When the
// last of those ticks is the wrapping one, which draws nothing, the frame is the next tick's.
class FrameClock {
  public:
    FrameClock(int time, int step);
    // The clock value of the next exported frame.
    double next();

  private:
    Scene clock_; // only its simTime is used
    int step_;
    bool started_ = false;
};

} // namespace rs
