// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "scene_io/int_syntax.h"

namespace rs {

namespace {

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One or more hex digits, filling at most 32 bits; leading zeros are free.
std::optional<std::int32_t> parseHexDigits(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : digits) {
        const int d = hexDigitValue(c);
        if (d < 0 || value > 0x0FFFFFFFu) return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return static_cast<std::int32_t>(value); // two's complement since C++20
}

std::optional<std::int32_t> parseDecimalDigits(std::string_view digits, bool negative) {
    if (digits.empty()) return std::nullopt;
    // The magnitude may reach 2^31 for the negative end; stop as soon as it passes that.
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > kLimit) return std::nullopt;
    }
    if (!negative && magnitude == kLimit) return std::nullopt;
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

} // namespace

std::optional<std::int32_t> parseInt32(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    text.remove_prefix(i);
    if (text.empty()) return std::nullopt;

    if (text[0] == '-' || text[0] == '+') return parseDecimalDigits(text.substr(1), text[0] == '-');
    if (text[0] == '$' || text[0] == 'x' || text[0] == 'X') return parseHexDigits(text.substr(1));
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return parseHexDigits(text.substr(2));
    return parseDecimalDigits(text, false);
}

std::int32_t parseIntOrDefault(std::string_view text, std::int32_t fallback) {
    return parseInt32(text).value_or(fallback);
}

} // namespace rs
