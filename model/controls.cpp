// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "model/controls.h"

#include <algorithm>

namespace rs {

bool TrackBarValue::setPosition(std::int32_t value) {
    const std::int32_t clamped = std::clamp(value, minimum, maximum);
    const bool changed = clamped != position;
    position = clamped;
    return changed;
}

void Controls::setAttenuation(bool Controls::*radio, bool checked) {
    if (checked) {
        gens1 = gens2 = gens0 = false;
    }
    this->*radio = checked;
}

std::array<std::string, kSourceFieldCount> Controls::filledWith(const char* text) {
    std::array<std::string, kSourceFieldCount> texts;
    texts.fill(text);
    return texts;
}

FrameSettings frameSettings(const Controls& c) {
    FrameSettings s;
    s.ch_guruguru = c.ch_guruguru;
    s.ch_2cut = c.ch_2cut;
    s.gens1 = c.gens1;
    s.gens2 = c.gens2;
    s.ch_seibun = c.ch_seibun;
    s.ch_bashi = c.ch_bashi;
    s.ch_baishitsu = c.ch_baishitsu;
    s.ch_rect = c.ch_rect;
    s.ch_suihei = c.ch_suihei;
    s.numpoints = c.numpoints.position;
    s.numzoom = c.numzoom.position;
    return s;
}

} // namespace rs
