// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Bytes of unknown encoding turned into UTF-8 for a message, exactly as Qt's decoders showed them.

#include <cstddef>
#include <string>
#include <string_view>

namespace rs {

// The bytes decoded as Shift_JIS (code page 932, as Qt's decoder maps it), what does not decode as
// U+FFFD and a 0x1A byte as U+001A; after maxChars characters the rest is one "…".
std::string shiftJisToUtf8(std::string_view bytes, std::size_t maxChars);

// The bytes as UTF-8 with each byte that starts no well-formed sequence shown as U+FFFD, and without
// a byte order mark at the very start.
std::string utf8ForDisplay(std::string_view bytes);

} // namespace rs
