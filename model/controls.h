// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// What the window's controls hold, as plain values: the six track bars within their ranges, the three
// radio buttons, the eight check boxes and the text the twenty source buttons show. The window's
// controls show it and write into it; the exporter uses it alone. Named after the controls.

#include "sim/frame_settings.h"
#include "sim/scene.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace rs {

// A track bar's position, always within its range.
struct TrackBarValue {
    std::int32_t minimum;
    std::int32_t maximum;
    std::int32_t position;

    // Clamps into the range, as setting a track bar does; true when the position changed.
    bool setPosition(std::int32_t value);
};

// The twenty source parameters in scene-file order: source 1 x, y, amplitude, angular frequency,
// phase, then sources 2, 3 and 4.
struct SourceField {
    int source;
    std::int32_t WaveSource::*field;
};
inline constexpr std::size_t kSourceFieldCount = 20;
inline constexpr std::array<SourceField, kSourceFieldCount> kSourceFields = [] {
    std::array<SourceField, kSourceFieldCount> fields{};
    constexpr std::int32_t WaveSource::*kFieldOrder[] = {&WaveSource::x, &WaveSource::y, &WaveSource::amp,
                                                         &WaveSource::omega, &WaveSource::phase};
    std::size_t i = 0;
    for (int k = 1; k <= kSourceCount; ++k)
        for (std::int32_t WaveSource::*field : kFieldOrder)
            fields[i++] = {k, field};
    return fields;
}();

struct Controls {
    TrackBarValue thetachanger{-90, 90, -30};
    TrackBarValue phichanger{-180, 180, 30};
    TrackBarValue numpoints{5, 50, 20};
    TrackBarValue numzoom{10, 30, 15};
    TrackBarValue velocitychanger{5, 50, 20};
    TrackBarValue fpschanger{20, 1000, 200};

    // At most one is checked; opening a scene can leave none.
    bool gens1 = false;
    bool gens2 = true;
    bool gens0 = false;
    // Checking one clears the other two; clearing one touches nothing else.
    void setAttenuation(bool Controls::*radio, bool checked);

    bool ch_baishitsu = true;
    bool ch_bashi = true;
    bool ch_suihei = true;
    bool ch_seibun = true;
    bool ch_2cut = false;
    bool ch_guruguru = false;
    bool ch_rect = false;
    bool ch_koma = false;

    // What each source button shows after its prefix (UTF-8), in kSourceFields order: the text as it
    // was typed or read, "0" at start.
    std::array<std::string, kSourceFieldCount> sourceText = filledWith("0");

  private:
    static std::array<std::string, kSourceFieldCount> filledWith(const char* text);
};

// What a frame reads from the controls.
FrameSettings frameSettings(const Controls& controls);

} // namespace rs
