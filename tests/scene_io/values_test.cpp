// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Writing values as lines and converting lines back: the integer syntax shared with the prompts, and
// flags with their locale-dependent numbers.

#include "scene_io/int_syntax.h"
#include "scene_io/scene_errors.h"
#include "scene_io/scene_values.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>

#include "tests/scene_io/test_files.h"

namespace rs {
namespace {

constexpr std::int32_t kMarker = 7296183; // the prompts' "did not convert" default

TEST(IntSyntax, AcceptedTexts) {
    const std::pair<std::string, std::int32_t> cases[] = {{"42", 42},
                                                          {" 42", 42},
                                                          {"  42", 42},
                                                          {"+42", 42},
                                                          {"-0", 0},
                                                          {"012", 12},
                                                          {"-012", -12},
                                                          {"$2A", 42},
                                                          {"0x2a", 42},
                                                          {"x1F", 31},
                                                          {"X1f", 31},
                                                          {"0X1f", 31},
                                                          {" $10", 16},
                                                          {"$FFFFFFFF", -1},
                                                          {"$80000000", INT_MIN},
                                                          {"$000000001", 1},
                                                          {"2147483647", INT_MAX},
                                                          {"-2147483648", INT_MIN},
                                                          {"$6F54B7", kMarker}};
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(parseSceneInteger(text), value) << text;
        EXPECT_EQ(parseIntOrDefault(text, -5), value) << text;
    }
}

TEST(IntSyntax, RejectedTexts) {
    const std::string cases[] = {"",
                                 " ",
                                 "-",
                                 "+",
                                 "42 ",
                                 "4 2",
                                 "1.0",
                                 "2147483648",
                                 "-2147483649",
                                 "99999999999999999999",
                                 "$100000000",
                                 "-$10",
                                 "- 5",
                                 "+-1",
                                 "$",
                                 "0x",
                                 "$G",
                                 "00x10",
                                 "\t42",
                                 "\xEF\xBC\x95",
                                 "42\r",
                                 std::string("4\0"
                                             "2",
                                             3)};
    for (const std::string& text : cases) {
        EXPECT_THROW(parseSceneInteger(text), EConvertError) << text;
        EXPECT_EQ(parseIntOrDefault(text, kMarker), kMarker) << text;
    }
}

TEST(SceneValues, WrittenTextsReadBack) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "0"}, {-30, "-30"}, {200, "200"}, {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"}};
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(formatSceneInteger(value), text);
        EXPECT_EQ(parseSceneInteger(text), value);
    }
    EXPECT_EQ(formatSceneBoolean(true), "-1");
    EXPECT_EQ(formatSceneBoolean(false), "0");
}

TEST(SceneBoolean, ConvertsInTheCLocale) {
    std::setlocale(LC_NUMERIC, "C");
    const std::pair<std::string, std::optional<bool>> cases[] = {{"-1", true},     {"1", true},
                                                                 {" 3 ", true},    {"2.5", true},
                                                                 {".5", true},     {"5.", true},
                                                                 {"1E-400", true}, {"7e99999999999", true},
                                                                 {"TRUE", true},   {"tRuE", true},
                                                                 {"0", false},     {"0.0", false},
                                                                 {"-0", false},    {" -0.000E+3 ", false},
                                                                 {"False", false}, {"", {}},
                                                                 {" ", {}},        {"yes", {}},
                                                                 {"on", {}},       {".", {}},
                                                                 {"1e", {}},       {"e5", {}},
                                                                 {"0,0", {}},      {"$1", {}},
                                                                 {"1 2", {}},      {"--1", {}},
                                                                 {" true", {}},    {"true ", {}},
                                                                 {"\t1", {}}};
    for (const auto& [text, value] : cases) {
        if (value) {
            EXPECT_EQ(parseSceneBoolean(text), *value) << text;
        } else {
            EXPECT_THROW(parseSceneBoolean(text), EConvertError) << text;
        }
    }
}

// Whether a locale with a decimal comma is now the numeric one.
bool setCommaLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
        if (std::setlocale(LC_NUMERIC, name) && std::string(std::localeconv()->decimal_point) == ",")
            return true;
    return false;
}

TEST(SceneBoolean, FollowsTheDecimalSeparator) {
    const char* const arabic = "\xD9\xAB";
    EXPECT_EQ(parseDecimalTruth("0,0", ","), false);
    EXPECT_EQ(parseDecimalTruth("2,5e1", ","), true);
    EXPECT_EQ(parseDecimalTruth("0.0", ","), std::nullopt);
    EXPECT_EQ(parseDecimalTruth(std::string("0") + arabic + "0", arabic), false);
    EXPECT_EQ(parseDecimalTruth("0\xD9", arabic), std::nullopt);

    // The real locale: an installed one with a decimal comma, else de_DE built from the locale sources
    // into a private folder; glibc reads LOCPATH on every setlocale call.
    std::optional<std::string> savedLocPath;
    if (const char* old = std::getenv("LOCPATH")) savedLocPath = old;
    std::optional<test::TempFolder> built;
    int buildStatus = 0;
    if (!setCommaLocale() && std::filesystem::exists("/usr/share/i18n/locales/de_DE")) {
        built.emplace();
        // Warnings give a non-zero status with a usable locale, so setlocale has the last word.
        const std::string command =
            "localedef -i de_DE -f UTF-8 " + built->file("de_DE.UTF-8") + " >/dev/null 2>&1";
        buildStatus = std::system(command.c_str());
        ::setenv("LOCPATH", built->file("").c_str(), 1);
    }
    const bool found = setCommaLocale();
    if (found) {
        EXPECT_FALSE(parseSceneBoolean("0,0"));
        EXPECT_TRUE(parseSceneBoolean("2,5"));
        EXPECT_THROW(parseSceneBoolean("0.0"), EConvertError);
    }
    if (savedLocPath) {
        ::setenv("LOCPATH", savedLocPath->c_str(), 1);
    } else {
        ::unsetenv("LOCPATH");
    }
    std::setlocale(LC_NUMERIC, "C");
    if (!found)
        GTEST_SKIP() << "no locale with a decimal comma is installed or buildable (localedef status "
                     << buildStatus << "); checked through the separator only";
}

} // namespace
} // namespace rs
