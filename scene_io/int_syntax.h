// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The one integer syntax shared by scene-file lines and the source parameter prompts:
// leading spaces, then either decimal with an optional sign, or a "$", "x", "X", "0x" or "0X" prefix and
// hexadecimal digits taken as a 32-bit two's-complement pattern; nothing may follow the last digit.

#include <cstdint>
#include <optional>
#include <string_view>

namespace rs {

// The value the text denotes, or nothing when the text does not convert.
std::optional<std::int32_t> parseInt32(std::string_view text);

// The prompts' conversion: the value, or fallback for text that does not convert.
std::int32_t parseIntOrDefault(std::string_view text, std::int32_t fallback);

} // namespace rs
