// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The twenty source parameters: which button shows each, which field it sets, its prompt and prefix.
// Listed in scene-file order (source 1 x … phase, then sources 2, 3, 4), which Open and Save rely on.

#include "app/sound.h"

#include <array>
#include <cstdint>

namespace rs {

struct SourceControl {
    QPushButton* TForm1::*button;
    void (TForm1::*handler)();
    int source;
    std::int32_t WaveSource::*field;
    const char16_t* prompt;
    const char16_t* prefix;
};

inline constexpr std::size_t kSourceControlCount = 20;

const std::array<SourceControl, kSourceControlCount>& sourceControls();

// Gives the row's button the name a screen reader says for it: the field its prompt asks for and the
// text the caption shows after the prefix ("波源1のx座標 12" for "X:12"). Call whenever the caption
// changes; nothing on the screen changes.
void nameSourceButton(TForm1& form, const SourceControl& row);

} // namespace rs
