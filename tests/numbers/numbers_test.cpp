// Numbers and words at their edges: reading field texts, the decimal texts, checked arithmetic
// and the 48-bit tuning-word encoder.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "numbers/checked_math.h"
#include "numbers/decimal_text.h"
#include "numbers/double_chars.h"
#include "numbers/field_number.h"
#include "numbers/tuning_word.h"

namespace meridel::numbers {
namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double k24 = 16777216.0, k48 = 281474976710656.0;

TEST(FieldNumber, ReadsTheLeadingNumberSkippingBlanksTabsAndLineFeeds) {
    const std::pair<std::string, double> rows[] = {
        {"12.8", 12.8}, {"10 MHz", 10}, {"1 296", 1296}, {"  -2", -2}, {"+3.5", 3.5}, {".5", .5},
        {"5.", 5}, {"2,5", 2}, {"1.2.3", 1.2}, {"..5", 0}, {"-", 0}, {"", 0}, {"abc", 0},
        {"1\t2", 12}, {"1\n2", 12}, {"- 5", -5}, {"1\r2", 1}, {"1E3", 1000}, {"2D2", 200},
        {"1.5e-3", 0.0015}, {"1e+", 1}, {"1E 2", 100}, {"&H10", 16}, {"&hff", 255},
        {"&O17", 15}, {"&HFFFFFFFF", 4294967295.0}, {"&H", 0}, {"&O9", 0}, {"&X1", 0},
        {"& H1", 1}, {"1E309", kInf}, {"-1e99999999999999", -kInf}, {"1e-400", 0},
        {std::string(400, '9'), kInf}, {"0." + std::string(1 << 20, '3'), 1.0 / 3.0},
        {std::string(1 << 20, ' ') + "7", 7}};
    for (const auto& [text, value] : rows) EXPECT_EQ(parseFieldNumber(text), value) << text;
}

TEST(FieldNumber, WholeNumberAcceptsOnlyANumberWithBlanksAround) {
    EXPECT_EQ(parseWholeNumber("  -2.5 "), -2.5);
    EXPECT_EQ(parseWholeNumber("&H10"), 16);
    for (const char* text : {"", " ", "abc", "2 x", "1 296", "1e", "&H", ".", "1,5", "- 2"}) {
        EXPECT_FALSE(parseWholeNumber(text).has_value()) << text;
    }
}

TEST(FieldNumber, PlainNumberIsOneFiniteDecimalAndNothingElse) {
    const std::pair<std::string, double> numbers[] = {
        {"14.0971", 14.0971}, {"-2.5", -2.5}, {"+3", 3}, {".5", .5}, {"5.", 5},
        {"1.5e3", 1500}, {"2E-2", 0.02}, {"0", 0}, {"1e308", 1e308}};
    for (const auto& [text, value] : numbers) EXPECT_EQ(parsePlainNumber(text), value) << text;
    for (const char* text : {"", " ", " 5", "5 ", "1 296", "14,0971", "nan", "inf", "-inf",
                             "1e309", "&H1F", "2D2", "1e", "1e+", ".", "-", "+-1", "1.2.3",
                             "\xef\xbc\x91\xef\xbc\x94", "5MHz", "0x10"}) {
        EXPECT_FALSE(parsePlainNumber(text).has_value()) << text;
    }
}

TEST(FieldNumber, UnreadRestIsWhereTheLenientReadingStopped) {
    const std::pair<std::string, std::string> rows[] = {
        {"14,0971", ",0971"}, {"10 MHz", "MHz"}, {"abc", "abc"}, {"1e", "e"}, {"&H1FG", "G"},
        {"1 296", ""}, {" 2 0 ", ""}, {"", ""}, {"1E 2", ""}, {"nan", "nan"}, {"5.5.5", ".5"},
        {"&O9", "9"}};
    for (const auto& [text, rest] : rows) EXPECT_EQ(unreadFieldRest(text), rest) << text;
}

TEST(DecimalText, FieldFormRoundsToFifteenDigitsWithExponentsOutsideOrdinaryMagnitudes) {
    const std::pair<double, const char*> rows[] = {
        {12.8 * 16, " 204.8"}, {0.5, " .5"}, {-0.5, "-.5"}, {0, " 0"}, {-0.0, " 0"},
        {-1, "-1"}, {1296.5 / 9, " 144.055555555556"}, {0.1 + 0.2, " .3"},
        {123456789012345.0, " 123456789012345"}, {0.0001, " .0001"}, {0.00001, " 1E-05"},
        {1e15, " 1E+15"}, {-1.5e20, "-1.5E+20"}, {999999999999999.9, " 1E+15"},
        {kInf, " Infinity"}};
    for (const auto& [value, text] : rows) EXPECT_EQ(fieldDecimalText(value), text) << value;
    for (double v : {204.8, 1296.5 / 9, -25.2525, 1e-7, 3.14159265358979e200, 7e-300}) {
        EXPECT_EQ(fieldDecimalText(parseFieldNumber(fieldDecimalText(v))), fieldDecimalText(v));
    }
}

// The WebAssembly build converts through the C library: it must give the C++ library's digits
// and bits, at the range ends and on random bit patterns, both ways.
TEST(DoubleChars, CLibraryConversionsEqualTheCxxLibrarysBitForBit) {
    std::vector<double> values = {0.0, 5e-324, 2.2250738585072014e-308, 1.7976931348623157e308,
                                  0.1 + 0.2, 999999999999999.5, 1e15, 9.5e-5, 2.5,
                                  INFINITY, -INFINITY, NAN};
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    for (int i = 0; i < 20000; ++i) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        const double v = std::bit_cast<double>(state >> 1);  // positive, any exponent
        if (std::isfinite(v)) values.push_back(v);
    }
    std::vector<std::string> texts = {"2e-324", "3e-324", "18e307", "1e-400", "1e400",
                                      "9007199254740993", "17976931348623159e292"};
    for (double v : values) {
        ASSERT_EQ(c_library::generalText(v, 15), generalText(v, 15)) << v;
        ASSERT_EQ(c_library::shortestText(v), shortestText(v)) << v;
        if (std::fabs(v) < 1e30 || !std::isfinite(v)) {
            ASSERT_EQ(c_library::shortestFixedText(v), shortestFixedText(v)) << v;
        }
        std::string digits = generalText(v, 17);  // "d.ddde+x" as "dddde(x-n)"
        const auto point = digits.find('.'), e = digits.find('e');
        if (point == std::string::npos || e == std::string::npos) continue;
        const auto fraction = static_cast<int>(e - point - 1);
        texts.push_back(digits.substr(0, point) + digits.substr(point + 1, e - point - 1) + "e" +
                        std::to_string(std::stoi(digits.substr(e + 1)) - fraction));
    }
    for (const std::string& text : texts) {
        const auto want = scientificValue(text.data(), text.data() + text.size());
        const auto got = c_library::scientificValue(text.data(), text.data() + text.size());
        ASSERT_EQ(got.has_value(), want.has_value()) << text;
        if (got) {
            ASSERT_EQ(std::bit_cast<std::uint64_t>(*got), std::bit_cast<std::uint64_t>(*want))
                << text;
        }
    }
}

TEST(DecimalText, TrimmedAndPlainForms) {
    EXPECT_EQ(trimmedDecimalText(1500.5), "1500.5");
    EXPECT_EQ(trimmedDecimalText(0.5), ".5");
    EXPECT_EQ(trimmedDecimalText(-20), "-20");
    EXPECT_EQ(plainDecimalText(50.0015), "50.0015");
    EXPECT_EQ(plainDecimalText(-0.0015), "-0.0015");
}

std::optional<ArithmeticErrorKind> kindOf(auto operation) {
    try {
        operation();
    } catch (const ArithmeticError& error) {
        return error.kind;
    }
    return std::nullopt;
}

TEST(CheckedMath, FailsOnDivisionByZeroOverflowAndNaN) {
    const double huge = std::numeric_limits<double>::max();
    using K = ArithmeticErrorKind;
    EXPECT_EQ(kindOf([] { checked::div(0, -0.0); }), K::DivisionByZero);
    EXPECT_EQ(kindOf([&] { checked::mul(huge, 2); }), K::Overflow);
    EXPECT_EQ(kindOf([&] { checked::add(huge, huge); }), K::Overflow);
    EXPECT_EQ(kindOf([] { checked::operand(kNaN); }), K::Undefined);
    EXPECT_EQ(checked::mul(1e-300, 1e-300), 0.0);  // underflow is no failure
    EXPECT_EQ(kindOf([] { checked::addInt32(2147483647, 1); }), K::IntegerOverflow);
}

TEST(CheckedMath, RoundsHalfToEvenIntoSixteenAndThirtyTwoBits) {
    const std::pair<double, int> rows[] = {{2.5, 2},   {3.5, 4},           {-2.5, -2},
                                           {-0.5, 0},  {0.500001, 1},      {2147483647.4, 2147483647},
                                           {-2147483648.5, -2147483647 - 1}};
    for (const auto& [value, rounded] : rows) EXPECT_EQ(checked::toInt32(value), rounded) << value;
    EXPECT_EQ(checked::toInt16(32767.4), 32767);
    for (double v : {2147483647.5, -2147483649.0, kNaN}) {
        EXPECT_EQ(kindOf([v] { checked::toInt32(v); }), ArithmeticErrorKind::IntegerOverflow) << v;
    }
    EXPECT_EQ(kindOf([] { checked::toInt16(32767.5); }), ArithmeticErrorKind::IntegerOverflow);
}

TEST(TuningWord, SpellsTheWordRoundedHalfUpModuloTwoToThe48) {
    const std::tuple<double, const char*, double> rows[] = {
        {double(0x123456789ABC), "0x12,0x34,0x56,0x78,0x9A,0xBC", double(0x123456789ABC)},
        {1.5, "0x00,0x00,0x00,0x00,0x00,0x02", 2},
        {10.4999, "0x00,0x00,0x00,0x00,0x00,0x0A", 10},
        {k24 - 0.4, "0x00,0x00,0x01,0x00,0x00,0x00", k24},  // the carry crosses the halves
        {7576321.5, "0x00,0x00,0x00,0x73,0x9B,0x02", 7576322},
        {k48 - 0.6, "0xFF,0xFF,0xFF,0xFF,0xFF,0xFF", k48 - 1},
        {k48 - 0.5, "0x00,0x00,0x00,0x00,0x00,0x00", k48},  // wraps as the accumulator does
        {k48 + 5, "0x00,0x00,0x00,0x00,0x00,0x05", k48 + 5},
        {-1.6, "0xFF,0xFF,0xFF,0xFF,0xFF,0xFE", -2},
        {-0.5, "0x00,0x00,0x00,0x00,0x00,0x00", 0}};
    for (auto [value, text, rounded] : rows) {
        const double original = value;
        EXPECT_EQ(encodeTuningWord(value).view(), text) << original;
        EXPECT_EQ(value, rounded) << original;
    }
    EXPECT_EQ(lowBytes("0x12,0x34,0x56,0x78,0x9A,0xBC", 4), "0x56,0x78,0x9A,0xBC");
}

TEST(TuningWord, FailsWhenTheHighHalfDoesNotFitThirtyTwoBits) {
    for (double v : {std::ldexp(1.0, 55), -std::ldexp(1.0, 55) - k24, 1e300, kNaN}) {
        EXPECT_THROW(encodeTuningWord(v), ArithmeticError) << v;
    }
    double justInside = std::ldexp(1.0, 55) - k24;
    EXPECT_NO_THROW(encodeTuningWord(justInside));
}

}  // namespace
}  // namespace meridel::numbers
