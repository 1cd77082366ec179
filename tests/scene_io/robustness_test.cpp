// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Arbitrary bytes from a fixed seed through the reader and both conversions: only the listed errors, and
// results that agree with simple independent models.

#include "scene_io/int_syntax.h"
#include "scene_io/scene_errors.h"
#include "scene_io/scene_line_reader.h"
#include "scene_io/scene_values.h"

#include <gtest/gtest.h>

#include <charconv>
#include <random>

#include "tests/scene_io/test_files.h"

namespace rs {
namespace {

// Bytes that matter to the grammars show up often; any byte can.
std::string randomText(std::mt19937& rng, std::size_t maxLength) {
    static const std::string kInteresting = "0123456789 +-$xX.eEtTrRuUfFaAlLsS\r\n\x1A\t,\x82\xA0\xFF";
    std::string text(std::uniform_int_distribution<std::size_t>(0, maxLength)(rng), '\0');
    for (char& c : text)
        c = rng() % 4 == 0 ? static_cast<char>(rng() % 256) : kInteresting[rng() % kInteresting.size()];
    return text;
}

// Decimal model: spaces, an optional sign and digits, valued by the standard library.
std::optional<std::int32_t> decimalModel(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return {};
    std::string digits = negative ? "-" : "";
    digits += text;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return {};
    return value;
}

TEST(SceneRobustness, ConversionsOnArbitraryText) {
    std::mt19937 rng(20240611);
    int converted = 0;
    for (int i = 0; i < 200000; ++i) {
        const std::string text = randomText(rng, 14);
        const auto value = parseInt32(text);
        if (text.find_first_of("$xX") == std::string::npos) {
            EXPECT_EQ(value, decimalModel(text)) << text;
        }
        if (value) {
            ++converted;
            EXPECT_EQ(parseSceneInteger(formatSceneInteger(*value)), *value);
        } else {
            EXPECT_THROW(parseSceneInteger(text), EConvertError);
        }
        try {
            parseSceneBoolean(text);
        } catch (const EConvertError&) {
        }
    }
    EXPECT_GT(converted, 1000); // the generator does reach the accepting paths
}

// Runs of every length around the kept counts, joined from the pieces the grammars care about.
std::string textOfRuns(std::mt19937& rng) {
    static const char* const kPieces[] = {" ", "0", "1",  "9", "F", "a",        "e",    "E",     "-",  "+",
                                          "$", "x", "0x", ".", ",", "\xD9\xAB", "true", "FALSE", "\t", "z"};
    std::string text;
    for (std::size_t runs = rng() % 6; runs > 0; --runs) {
        const std::string piece = kPieces[rng() % std::size(kPieces)];
        const std::size_t times = rng() % 3 == 0 ? 1 + rng() % 40 : 1 + rng() % 2;
        for (std::size_t i = 0; i < times; ++i)
            text += piece;
    }
    return text;
}

// The shortened line converts as the whole text: the same value, or failure, for every separator.
TEST(SceneRobustness, ShortenedLinesConvertAsTheWholeText) {
    std::mt19937 rng(65537);
    for (int i = 0; i < 200000; ++i) {
        const std::string text = textOfRuns(rng);
        const SceneLine line(text);
        ASSERT_EQ(parseInt32(line.shortened()), parseInt32(text)) << text;
        for (const char* separator : {".", ",", "\xD9\xAB"})
            ASSERT_EQ(parseDecimalTruth(line.shortened(), separator), parseDecimalTruth(text, separator))
                << text;
    }
    // Past the shortened text's room nothing converts, as nothing valid is that long.
    std::string crowded = "1";
    for (int i = 0; i < 1000; ++i)
        crowded += " 1";
    EXPECT_EQ(SceneLine(crowded).shortened().size(), SceneLine::kShortenedBytes);
    EXPECT_THROW(parseSceneBoolean(crowded), EConvertError);
}

// Model of the reader: cut at the first 0x1A, split at LF, drop CRs, keep at most maxLine bytes a line.
std::vector<std::string> lineModel(std::string bytes, std::size_t count, std::size_t maxLine) {
    bytes = bytes.substr(0, bytes.find('\x1A'));
    std::vector<std::string> lines;
    for (std::size_t start = 0; lines.size() < count && start < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        std::string line;
        for (std::size_t i = start; i < end; ++i)
            if (bytes[i] != '\r' && line.size() < maxLine) line.push_back(bytes[i]);
        lines.push_back(line);
        start = end + 1;
    }
    lines.resize(count);
    return lines;
}

TEST(SceneRobustness, ReaderOnArbitraryBytes) {
    std::mt19937 rng(37);
    for (int i = 0; i < 60000; ++i) {
        const std::string bytes = randomText(rng, 120);
        SceneLineReader reader(test::memoryFile(bytes), 1 + rng() % 40);
        std::vector<std::string> lines;
        for (int n = 0; n < 40; ++n)
            lines.push_back(reader.readLine().text());
        ASSERT_EQ(lines, lineModel(bytes, 40, SceneLineReader::kMaxLineBytes))
            << testing::PrintToString(bytes);
    }
}

} // namespace
} // namespace rs
