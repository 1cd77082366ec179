// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "scene_io/text_decoding.h"

namespace rs {

namespace {

// Made at build time from Qt's own decoder (tables/make_shift_jis_table.cpp): kShiftJisSingle,
// kShiftJisRow, kShiftJisPair.
#include "shift_jis_table.inc"

// Only characters of the Basic Multilingual Plane come out of the table, never a surrogate.
void appendUtf8(std::string& text, char16_t unit) {
    if (unit < 0x80) {
        text += static_cast<char>(unit);
    } else if (unit < 0x800) {
        text += static_cast<char>(0xC0 | (unit >> 6));
        text += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | (unit >> 12));
        text += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (unit & 0x3F));
    }
}

unsigned char byteAt(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

// The length of the well-formed UTF-8 sequence that starts at i, or 0 when none does: no overlong
// form, no surrogate, nothing above U+10FFFF.
std::size_t utf8SequenceAt(std::string_view bytes, std::size_t i) {
    const unsigned char lead = byteAt(bytes, i);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() - i < length) return 0;
    const unsigned char second = byteAt(bytes, i + 1);
    if (second < low || second > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if ((byteAt(bytes, i + k) & 0xC0) != 0x80) return 0;
    }
    return length;
}

} // namespace

std::string shiftJisToUtf8(std::string_view bytes, std::size_t maxChars) {
    std::string text;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < bytes.size(); ++chars) {
        // Every step below makes one character, so what is left would make at least one more.
        if (chars == maxChars) {
            text += "…";
            break;
        }
        const unsigned char b = byteAt(bytes, i++);
        char16_t unit = kShiftJisSingle[b];
        if (kShiftJisRow[b] != 0 && i < bytes.size()) {
            const char16_t pair = kShiftJisPair[kShiftJisRow[b] - 1][byteAt(bytes, i)];
            if (pair != 0) {
                unit = pair;
                ++i;
            }
        }
        appendUtf8(text, unit);
    }
    return text;
}

std::string utf8ForDisplay(std::string_view bytes) {
    std::string text;
    std::size_t i = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (i < bytes.size()) {
        const std::size_t length = utf8SequenceAt(bytes, i);
        if (length == 0) {
            text += "\uFFFD";
            ++i;
        } else {
            text += bytes.substr(i, length);
            i += length;
        }
    }
    return text;
}

} // namespace rs
