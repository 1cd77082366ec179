// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Fuzzes the line reader (with a read size taken from the input) and both conversions on every line,
// holding the conversions of each shortened line against those of its whole text.
// Any exception other than the scene-file errors, or any sanitizer report, is a finding.

#include "scene_io/int_syntax.h"
#include "scene_io/scene_errors.h"
#include "scene_io/scene_line_reader.h"
#include "scene_io/scene_values.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t chunk = 1 + data[0] % 64;
    const int fd = ::memfd_create("scene", MFD_CLOEXEC);
    if (fd < 0) std::abort();
    const auto bytes = reinterpret_cast<const char*>(data + 1);
    if (::pwrite(fd, bytes, size - 1, 0) != static_cast<ssize_t>(size - 1)) std::abort();

    rs::SceneLineReader reader(fd, chunk);
    for (int n = 0; n < 40; ++n) {
        const rs::SceneLine line = reader.readLine();
        // Fuzz inputs are shorter than the kept text, so text() is the whole line.
        if (line.cut() || line.text().size() > rs::SceneLineReader::kMaxLineBytes) std::abort();
        // The shortened line converts as the whole text does.
        const auto value = rs::parseInt32(line.text());
        if (rs::parseDecimalTruth(line.text(), ".") != rs::parseDecimalTruth(line.shortened(), "."))
            std::abort();
        try {
            if (rs::parseSceneInteger(line) != value.value()) std::abort();
        } catch (const rs::EConvertError&) {
            if (value) std::abort();
        }
        try {
            rs::parseSceneBoolean(line);
        } catch (const rs::EConvertError&) {
        }
    }
    reader.close();
    return 0;
}
