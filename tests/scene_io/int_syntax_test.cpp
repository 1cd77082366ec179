// The integer syntax shared by scene lines and the parameter prompts.

#include "scene_io/int_syntax.h"
#include "scene_io/scene_errors.h"
#include "scene_io/scene_values.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

namespace rs {
namespace {

struct IntCase {
    std::string text;
    std::optional<std::int32_t> value; // nothing: does not convert
};

void PrintTo(const IntCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.text);
}

class IntSyntax : public testing::TestWithParam<IntCase> {};

TEST_P(IntSyntax, SameResultForFilesAndPrompts) {
    const IntCase& c = GetParam();
    constexpr std::int32_t kMarker = 7296183;
    EXPECT_EQ(parseInt32(c.text), c.value);
    if (c.value) {
        EXPECT_EQ(parseSceneInteger(c.text), *c.value);
        EXPECT_EQ(parseIntOrDefault(c.text, kMarker), *c.value);
    } else {
        EXPECT_THROW(parseSceneInteger(c.text), EConvertError);
        EXPECT_EQ(parseIntOrDefault(c.text, kMarker), kMarker);
        EXPECT_EQ(parseIntOrDefault(c.text, -5), -5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, IntSyntax,
    testing::Values(IntCase{"42", 42}, IntCase{" 42", 42}, IntCase{"  42", 42}, IntCase{"+42", 42},
                    IntCase{"-0", 0}, IntCase{"012", 12}, IntCase{"-012", -12}, IntCase{"$2A", 42},
                    IntCase{"0x2a", 42}, IntCase{"x1F", 31}, IntCase{"X1f", 31}, IntCase{"0X1f", 31},
                    IntCase{" $10", 16}, IntCase{"$FFFFFFFF", -1}, IntCase{"$80000000", INT_MIN},
                    IntCase{"$7fffffff", INT_MAX}, IntCase{"$000000001", 1}, IntCase{"0x0000000000ff", 255},
                    IntCase{"2147483647", INT_MAX}, IntCase{"-2147483648", INT_MIN},
                    IntCase{"0002147483647", INT_MAX}, IntCase{"+7296183", 7296183},
                    IntCase{"$6F54B7", 7296183}, IntCase{"x6f54b7", 7296183}, IntCase{"0", 0}));

INSTANTIATE_TEST_SUITE_P(
    Rejected, IntSyntax,
    testing::Values(IntCase{"", {}}, IntCase{" ", {}}, IntCase{"   ", {}}, IntCase{"-", {}}, IntCase{"+", {}},
                    IntCase{"42 ", {}}, IntCase{"4 2", {}}, IntCase{"1.0", {}}, IntCase{"3.5", {}},
                    IntCase{"2147483648", {}}, IntCase{"-2147483649", {}},
                    IntCase{"99999999999999999999", {}}, IntCase{"$100000000", {}},
                    IntCase{"0x1000000000", {}}, IntCase{"-$10", {}}, IntCase{"+$10", {}}, IntCase{"- 5", {}},
                    IntCase{"+-1", {}}, IntCase{"--1", {}}, IntCase{"$", {}}, IntCase{"x", {}},
                    IntCase{"0x", {}}, IntCase{"0X", {}}, IntCase{"$G", {}}, IntCase{"$-1", {}},
                    IntCase{"00x10", {}}, IntCase{"\t42", {}}, IntCase{"42\t", {}},
                    IntCase{"\xEF\xBC\x95", {}}, IntCase{"1e3", {}}, IntCase{"0b1", {}},
                    IntCase{std::string("4\0"
                                        "2",
                                        3),
                            {}},
                    IntCase{"42\r", {}}, IntCase{"$ 1", {}}));

TEST(IntSyntax, EveryWrittenValueReadsBack) {
    for (const std::int32_t v :
         {INT_MIN, INT_MIN + 1, -2147483647 + 99, -1, 0, 1, 9, 10, 7296183, INT_MAX - 1, INT_MAX}) {
        EXPECT_EQ(parseSceneInteger(formatSceneInteger(v)), v) << v;
    }
}

} // namespace
} // namespace rs
