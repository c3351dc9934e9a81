#include "numbers/field_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace meridel::numbers {
namespace {

struct ParseCase {
    std::string text;
    double expected;
};

class LenientParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(LenientParse, ReadsTheLeadingNumericPrefix) {
    const ParseCase& c = GetParam();
    EXPECT_EQ(parseFieldNumber(c.text), c.expected) << "text: \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Table, LenientParse,
    ::testing::Values(
        // plain numbers and the prefix rule
        ParseCase{"12.8", 12.8}, ParseCase{"50.505", 50.505}, ParseCase{"10 MHz", 10},
        ParseCase{"1 296", 1296}, ParseCase{"  -2", -2}, ParseCase{"+3.5", 3.5},
        ParseCase{".5", 0.5}, ParseCase{"5.", 5}, ParseCase{"2,5", 2}, ParseCase{"1.2.3", 1.2},
        ParseCase{"..5", 0}, ParseCase{".", 0}, ParseCase{"-", 0}, ParseCase{"", 0},
        ParseCase{" ", 0}, ParseCase{"abc", 0}, ParseCase{"x12", 0}, ParseCase{"-0", 0},
        ParseCase{"007", 7}, ParseCase{"0.05", 0.05},
        // blanks, tabs and line feeds are skipped wherever they stand, carriage returns are not
        ParseCase{"1\t2", 12}, ParseCase{"1\n2", 12}, ParseCase{"- 5", -5}, ParseCase{"1\r2", 1},
        // exponents with E or D, upper or lower case; an exponent without digits is ignored
        ParseCase{"1E3", 1000}, ParseCase{"1e3", 1000}, ParseCase{"2D2", 200},
        ParseCase{"1.5E-3", 0.0015}, ParseCase{"1e", 1}, ParseCase{"1e+", 1},
        ParseCase{"1E 2", 100}, ParseCase{"1E308", 1e308},
        // hexadecimal and octal integers
        ParseCase{"&H10", 16}, ParseCase{"&hff", 255}, ParseCase{"&O17", 15},
        ParseCase{"&HFFFFFFFF", 4294967295.0}, ParseCase{"&H", 0}, ParseCase{"&O", 0},
        ParseCase{"&O9", 0}, ParseCase{"&X1", 0}, ParseCase{"& H1", 1}));

TEST(LenientParse, DecimalsBeyondTheDoubleRangeReadAsInfinity) {
    EXPECT_EQ(parseFieldNumber("1E309"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseFieldNumber("-1e99999999999999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseFieldNumber("1e-400"), 0.0);
    EXPECT_EQ(parseFieldNumber(std::string(400, '9')), std::numeric_limits<double>::infinity());
}

TEST(LenientParse, LongTextsKeepTheirValue) {
    // A megabyte of digits after the point still reads as the number it starts with.
    EXPECT_EQ(parseFieldNumber("0." + std::string(1 << 20, '3')), 1.0 / 3.0);
    EXPECT_EQ(parseFieldNumber("1" + std::string(300, '0')), 1e300);
    EXPECT_EQ(parseFieldNumber(std::string(1 << 20, ' ') + "7"), 7);
}

TEST(WholeNumber, AcceptsOnlyANumberWithBlanksAround) {
    EXPECT_EQ(parseWholeNumber("2.5"), 2.5);
    EXPECT_EQ(parseWholeNumber("  -2 "), -2);
    EXPECT_EQ(parseWholeNumber("1e3"), 1000);
    EXPECT_EQ(parseWholeNumber("&H10"), 16);
    EXPECT_EQ(parseWholeNumber("0"), 0);
    for (const char* text : {"", " ", "abc", "2 x", "1 296", "1e", "&H", ".", "-", "1,5", "- 2"}) {
        EXPECT_FALSE(parseWholeNumber(text).has_value()) << "text: \"" << text << "\"";
    }
}

}  // namespace
}  // namespace meridel::numbers
