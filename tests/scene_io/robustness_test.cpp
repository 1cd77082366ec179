// Arbitrary bytes through the reader and both conversions, from a fixed seed: only the listed errors,
// and results that agree with simple independent models.

#include "scene_io/int_syntax.h"
#include "scene_io/scene_errors.h"
#include "scene_io/scene_line_reader.h"
#include "scene_io/scene_values.h"

#include <gtest/gtest.h>

#include <charconv>
#include <random>
#include <sys/mman.h>
#include <unistd.h>

namespace rs {
namespace {

// Bytes that matter to the grammars show up often; any byte can.
std::string randomText(std::mt19937& rng, std::size_t maxLength) {
    static const std::string kInteresting = "0123456789 +-$xX.eEaAfFtTrRuUlLsS\r\n\x1A\t,\x82\xA0\xFF";
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<int> pick(0, 3);
    std::uniform_int_distribution<std::size_t> interesting(0, kInteresting.size() - 1);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::string text(length(rng), '\0');
    for (char& c : text)
        c = pick(rng) == 0 ? static_cast<char>(anyByte(rng)) : kInteresting[interesting(rng)];
    return text;
}

// Decimal-only model: spaces, an optional sign, digits, checked with the standard library's parser.
std::optional<std::int32_t> decimalModel(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    const std::string signedDigits = (negative ? "-" : "") + std::string(text);
    std::int32_t value = 0;
    const auto [end, error] =
        std::from_chars(signedDigits.data(), signedDigits.data() + signedDigits.size(), value);
    if (error != std::errc() || end != signedDigits.data() + signedDigits.size()) return std::nullopt;
    return value;
}

bool isValidUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += n;
    }
    return true;
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
        if (i % 50 == 0) { // decoding is the slow part; a sample is enough
            const std::string shown = lineTextForMessage(text);
            EXPECT_TRUE(isValidUtf8(shown)) << text;
        }
    }
    EXPECT_GT(converted, 1000); // the generator does reach the accepting paths
}

// The reader, model: cut at the first 0x1A, split at LF, drop CRs, keep at most kMax bytes a line.
std::vector<std::string> lineModel(std::string bytes, std::size_t count, std::size_t maxLine) {
    bytes = bytes.substr(0, bytes.find('\x1A'));
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (lines.size() < count && start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
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
    std::uniform_int_distribution<std::size_t> chunk(1, 40);
    for (int i = 0; i < 60000; ++i) {
        const std::string bytes = randomText(rng, 120);
        const int fd = ::memfd_create("scene", MFD_CLOEXEC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
        SceneLineReader reader(fd, chunk(rng));
        std::vector<std::string> lines;
        for (int n = 0; n < 40; ++n)
            lines.push_back(reader.readLine());
        EXPECT_EQ(lines, lineModel(bytes, 40, SceneLineReader::kMaxLineBytes)) << i;
    }
}

} // namespace
} // namespace rs
