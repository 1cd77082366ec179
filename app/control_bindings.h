// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Which control of the window shows which value of Controls: the track bars, the radio buttons and
// the check boxes, each in scene-file order.

#include "app/sound.h"

#include <array>
#include <utility>

namespace rs {

using TrackBarBinding = std::pair<TrackBar * TForm1::*, TrackBarValue Controls::*>;
using RadioBinding = std::pair<QRadioButton * TForm1::*, bool Controls::*>;
using CheckBoxBinding = std::pair<QCheckBox * TForm1::*, bool Controls::*>;

inline constexpr std::array<TrackBarBinding, 6> trackBars() {
    return {{{&TForm1::thetachanger, &Controls::thetachanger},
             {&TForm1::phichanger, &Controls::phichanger},
             {&TForm1::numpoints, &Controls::numpoints},
             {&TForm1::numzoom, &Controls::numzoom},
             {&TForm1::velocitychanger, &Controls::velocitychanger},
             {&TForm1::fpschanger, &Controls::fpschanger}}};
}

inline constexpr std::array<RadioBinding, 3> radioButtons() {
    return {{{&TForm1::gens1, &Controls::gens1},
             {&TForm1::gens2, &Controls::gens2},
             {&TForm1::gens0, &Controls::gens0}}};
}

inline constexpr std::array<CheckBoxBinding, 8> checkBoxes() {
    return {{{&TForm1::ch_baishitsu, &Controls::ch_baishitsu},
             {&TForm1::ch_bashi, &Controls::ch_bashi},
             {&TForm1::ch_suihei, &Controls::ch_suihei},
             {&TForm1::ch_seibun, &Controls::ch_seibun},
             {&TForm1::ch_2cut, &Controls::ch_2cut},
             {&TForm1::ch_guruguru, &Controls::ch_guruguru},
             {&TForm1::ch_rect, &Controls::ch_rect},
             {&TForm1::ch_koma, &Controls::ch_koma}}};
}

} // namespace rs
