// How values are written as lines, and the boolean conversion with its locale-dependent numbers.

#include "scene_io/scene_errors.h"
#include "scene_io/scene_values.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <optional>
#include <string>

namespace rs {
namespace {

TEST(SceneValues, IntegerLinesAreShortestPlainDecimal) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "0"}, {7, "7"}, {-30, "-30"}, {200, "200"}, {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(formatSceneInteger(value), text);
}

TEST(SceneValues, FlagsAreWrittenOnlyAsMinusOneOrZero) {
    EXPECT_EQ(formatSceneBoolean(true), "-1");
    EXPECT_EQ(formatSceneBoolean(false), "0");
    EXPECT_TRUE(parseSceneBoolean(formatSceneBoolean(true)));
    EXPECT_FALSE(parseSceneBoolean(formatSceneBoolean(false)));
}

struct BoolCase {
    std::string text;
    std::optional<bool> value; // nothing: does not convert
};

void PrintTo(const BoolCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.text);
}

class SceneBoolean : public testing::TestWithParam<BoolCase> {
  protected:
    void SetUp() override { std::setlocale(LC_NUMERIC, "C"); }
};

TEST_P(SceneBoolean, ConvertsInTheCLocale) {
    const BoolCase& c = GetParam();
    if (c.value) {
        EXPECT_EQ(parseSceneBoolean(c.text), *c.value);
    } else {
        EXPECT_THROW(parseSceneBoolean(c.text), EConvertError);
    }
}

INSTANTIATE_TEST_SUITE_P(Numbers, SceneBoolean,
                         testing::Values(BoolCase{"-1", true}, BoolCase{"1", true}, BoolCase{" 3 ", true},
                                         BoolCase{"2.5", true}, BoolCase{"+0.001", true},
                                         BoolCase{".5", true}, BoolCase{"5.", true}, BoolCase{"1e5", true},
                                         BoolCase{"1E-400", true}, BoolCase{"7e99999999999", true},
                                         BoolCase{"0", false}, BoolCase{"0.0", false}, BoolCase{"-0", false},
                                         BoolCase{"000", false}, BoolCase{"0e5", false},
                                         BoolCase{" -0.000E+3  ", false}));

INSTANTIATE_TEST_SUITE_P(Words, SceneBoolean,
                         testing::Values(BoolCase{"TRUE", true}, BoolCase{"true", true},
                                         BoolCase{"tRuE", true}, BoolCase{"False", false},
                                         BoolCase{"FALSE", false}, BoolCase{"false", false}));

INSTANTIATE_TEST_SUITE_P(Rejected, SceneBoolean,
                         testing::Values(BoolCase{"", {}}, BoolCase{" ", {}}, BoolCase{"yes", {}},
                                         BoolCase{"on", {}}, BoolCase{".", {}}, BoolCase{"-", {}},
                                         BoolCase{"1e", {}}, BoolCase{"1e+", {}}, BoolCase{"e5", {}},
                                         BoolCase{"1,5", {}}, BoolCase{"0,0", {}}, BoolCase{"$1", {}},
                                         BoolCase{"0x1", {}}, BoolCase{"1 2", {}}, BoolCase{"--1", {}},
                                         BoolCase{"1..0", {}}, BoolCase{" true", {}}, BoolCase{"true ", {}},
                                         BoolCase{"truex", {}}, BoolCase{"t", {}}, BoolCase{"\t1", {}},
                                         BoolCase{"1\r", {}}));

// The number part with other separators, as locales other than C give them.
TEST(SceneBooleanSeparator, FollowsTheSeparatorItIsGiven) {
    struct Case {
        const char* text;
        const char* separator;
        std::optional<bool> value;
    };
    const Case cases[] = {
        {"0,0", ",", false},
        {"2,5", ",", true},
        {"0,5e1", ",", true},
        {"0.0", ",", std::nullopt},
        {"1.5", ",", std::nullopt},
        {",", ",", std::nullopt},
        {"0\xD9\xAB"
         "0",
         "\xD9\xAB", false},
        {"\xD9\xAB"
         "1",
         "\xD9\xAB", true},
        {"0\xD9", "\xD9\xAB", std::nullopt},
        {"1.0", "", std::nullopt},
        {"10", "", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseDecimalTruth(c.text, c.separator), c.value) << c.text;
}

// With a comma locale installed, "0,0" is a false flag; "0.0" is no number there.
TEST(SceneBooleanSeparator, UsesTheCurrentLocale) {
    const char* candidates[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE", "fr_FR"};
    const char* found = nullptr;
    for (const char* name : candidates) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr &&
            std::string(std::localeconv()->decimal_point) == ",") {
            found = name;
            break;
        }
    }
    if (found == nullptr) {
        std::setlocale(LC_NUMERIC, "C");
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    EXPECT_FALSE(parseSceneBoolean("0,0"));
    EXPECT_TRUE(parseSceneBoolean("2,5"));
    EXPECT_THROW(parseSceneBoolean("0.0"), EConvertError);
    EXPECT_TRUE(parseSceneBoolean("True"));
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_FALSE(parseSceneBoolean("0.0"));
}

} // namespace
} // namespace rs
