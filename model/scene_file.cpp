// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "model/scene_file.h"

#include "scene_io/scene_line_reader.h"
#include "scene_io/scene_values.h"

#include <sys/stat.h>

namespace rs {

namespace {

// The file's order of the track bars, the radio buttons and the check boxes.
constexpr TrackBarValue Controls::*kTrackBars[] = {&Controls::thetachanger,    &Controls::phichanger,
                                                   &Controls::numpoints,       &Controls::numzoom,
                                                   &Controls::velocitychanger, &Controls::fpschanger};
constexpr bool Controls::*kRadios[] = {&Controls::gens1, &Controls::gens2, &Controls::gens0};
constexpr bool Controls::*kBoxes[] = {&Controls::ch_baishitsu, &Controls::ch_bashi, &Controls::ch_suihei,
                                      &Controls::ch_seibun,    &Controls::ch_2cut,  &Controls::ch_guruguru,
                                      &Controls::ch_rect,      &Controls::ch_koma};

bool isExistingFile(const std::string& name) {
    struct stat st {};
    return !name.empty() && ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A line's bytes as a caption shows them, one character each; a line that converted is plain ASCII,
// so this only matters for what it keeps whole. Of a line longer than any caption can show it keeps
// the first 64 KiB, marked as cut.
std::string captionText(const SceneLine& line) {
    std::string text;
    for (const char c : line.text()) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    if (line.cut()) text += "\u2026";
    return text;
}

} // namespace

bool openSceneFile(const std::string& name, Controls& controls, Scene& scene) {
    if (!isExistingFile(name)) {
        return false;
    }
    // The reader closes the file on every way out.
    SceneLineReader reader(name);
    for (TrackBarValue Controls::*bar : kTrackBars) {
        (controls.*bar).setPosition(parseSceneInteger(reader.readLine()));
        // The speed follows the bar in every case, moved or not, or a 0 (a division by zero in the
        // model) or an out-of-range speed could remain.
        if (bar == &Controls::velocitychanger) setWaveSpeed(scene, controls.velocitychanger.position);
    }
    for (bool Controls::*radio : kRadios) {
        controls.setAttenuation(radio, parseSceneBoolean(reader.readLine()));
    }
    for (bool Controls::*box : kBoxes) {
        controls.*box = parseSceneBoolean(reader.readLine());
    }
    for (std::size_t i = 0; i < kSourceFields.size(); ++i) {
        const SceneLine line = reader.readLine();
        scene.source(kSourceFields[i].source).*kSourceFields[i].field = parseSceneInteger(line);
        // The text as read: "+7" stays "+7".
        controls.sourceText[i] = captionText(line);
    }
    reader.close();
    return true;
}

std::vector<std::string> sceneFileLines(const Controls& controls, const Scene& scene) {
    std::vector<std::string> lines;
    for (TrackBarValue Controls::*bar : kTrackBars) {
        lines.push_back(formatSceneInteger((controls.*bar).position));
    }
    for (bool Controls::*radio : kRadios) {
        lines.push_back(formatSceneBoolean(controls.*radio));
    }
    for (bool Controls::*box : kBoxes) {
        lines.push_back(formatSceneBoolean(controls.*box));
    }
    for (const SourceField& f : kSourceFields) {
        lines.push_back(formatSceneInteger(scene.source(f.source).*f.field));
    }
    return lines;
}

} // namespace rs
