// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// How one value of a scene file is written as a line, and how a line's text is converted back.

#include "scene_io/scene_line.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rs {

// Decimal, "-" for negatives, no plus sign, no leading zeros, no blanks.
std::string formatSceneInteger(std::int32_t value);

// "-1" for true, "0" for false: the only two texts ever written for a flag.
std::string formatSceneBoolean(bool value);

// The integer syntax of the prompts; throws EConvertError quoting the line otherwise.
std::int32_t parseSceneInteger(const SceneLine& line);
std::int32_t parseSceneInteger(std::string_view lineText);

// A decimal number (non-zero is true) written with the current C locale's decimal separator, or
// "true"/"false" in any letter case; throws EConvertError quoting the line otherwise.
bool parseSceneBoolean(const SceneLine& line);
bool parseSceneBoolean(std::string_view lineText);

// The number part of parseSceneBoolean with the separator given: whether the text is a non-zero
// decimal number, or nothing when it is not a decimal number at all.
std::optional<bool> parseDecimalTruth(std::string_view text, std::string_view decimalSeparator);

} // namespace rs
