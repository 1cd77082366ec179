// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Messages show a line's bytes and a file's name exactly as they did when Qt decoded them: the
// decoders against Qt's on every input of one or two bytes and on many longer ones.

#include "scene_io/scene_errors.h"
#include "scene_io/text_decoding.h"
#include "tables/qt_shift_jis.h"

#include <gtest/gtest.h>

#include <QString>

#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace rs {
namespace {

// A line in a message as the Qt-based code showed it: 200 characters at most, a surrogate pair
// counting as one, then "…".
std::string qtLineText(std::string_view bytes) {
    const QString text = qt_reference::shiftJisText(bytes);
    qsizetype cut = 0;
    std::size_t chars = 0;
    while (cut < text.size() && chars < kMessageTextChars) {
        cut += (text.at(cut).isHighSurrogate() && cut + 1 < text.size()) ? 2 : 1;
        ++chars;
    }
    if (cut == text.size()) return text.toStdString();
    return (text.left(cut) + QChar(0x2026)).toStdString();
}

std::string qtFileName(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
}

std::string hex(std::string_view bytes) {
    std::string text;
    for (unsigned char b : bytes) {
        static const char digits[] = "0123456789ABCDEF";
        text += {digits[b >> 4], digits[b & 15], ' '};
    }
    return text;
}

void expectBothAgree(std::string_view bytes) {
    ASSERT_EQ(lineTextForMessage(bytes), qtLineText(bytes)) << hex(bytes);
    ASSERT_EQ(utf8ForDisplay(bytes), qtFileName(bytes)) << hex(bytes);
}

TEST(TextDecoding, AgreesWithQtOnEveryInputOfOneOrTwoBytes) {
    for (int first = 0; first < 256; ++first) {
        const std::string one(1, static_cast<char>(first));
        expectBothAgree(one);
        for (int second = 0; second < 256; ++second)
            expectBothAgree(one + static_cast<char>(second));
    }
}

// Longer inputs drawn mostly from the bytes where decoding turns: Shift_JIS lead and trail bounds,
// 0x1A, the UTF-8 lead bytes and the bounds of their second bytes, the byte order mark; some long
// enough to be cut.
TEST(TextDecoding, AgreesWithQtOnLongerInputs) {
    const std::vector<unsigned char> turning = {0x00, 0x0A, 0x1A, 0x3F, 0x40, 0x5C, 0x7E, 0x7F, 0x80,
                                                0x81, 0x82, 0x8F, 0x90, 0x9F, 0xA0, 0xA5, 0xBB, 0xBF,
                                                0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xE1, 0xED, 0xEE, 0xEF,
                                                0xF0, 0xF3, 0xF4, 0xF5, 0xFA, 0xFC, 0xFD, 0xFF};
    std::mt19937 random(20260421);
    std::uniform_int_distribution<int> anyByte(0, 255), coin(0, 1), shortLength(3, 12), longLength(190, 420);
    std::uniform_int_distribution<std::size_t> pick(0, turning.size() - 1);
    for (int n = 0; n < 6000; ++n) {
        std::string bytes = n % 10 == 0 ? "\xEF\xBB\xBF" : "";
        const int length = n % 20 == 1 ? longLength(random) : shortLength(random);
        while (static_cast<int>(bytes.size()) < length)
            bytes += static_cast<char>(coin(random) == 0 ? anyByte(random) : turning[pick(random)]);
        expectBothAgree(bytes);
    }
}

// Every well-formed and ill-formed three-byte UTF-8 start; Qt shows each bad byte as one U+FFFD.
TEST(TextDecoding, FileNamesAgreeWithQtOnEveryThreeBytesFromALeadByte) {
    for (int first = 0xC0; first < 256; ++first) {
        for (int second = 0x70; second < 0xD0; ++second) {
            for (int third = 0; third < 256; ++third) {
                const std::string bytes{static_cast<char>(first), static_cast<char>(second),
                                        static_cast<char>(third)};
                ASSERT_EQ(utf8ForDisplay(bytes), qtFileName(bytes)) << hex(bytes);
            }
        }
    }
}

} // namespace
} // namespace rs
