// The N-bit words: data-sheet vectors and the edges of the exact rounding (every chip's words
// are checked against an independent computation in tests/firmware), the listing's rounding at
// 48 bits, and the byte texts both ways.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "numbers/tuning_word.h"

namespace meridel::numbers {
namespace {

struct Case {
    double hz, clock;
    int bits;
    std::optional<std::uint64_t> word;
};

TEST(FrequencyWord, DataSheetVectorsAndEdges) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::array<Case, 14> cases = {
        {{10e6, 180e6, 32, 0x0E38E38E},        // AD9851 data sheet
         {41e6, 122.88e6, 32, 0x556AAAAB},     // AD9910 data sheet
         {155.52e6, 1e9, 48, 0x27D028A1DFB9},  // 48-bit data-sheet vector
         {10e6, 125e6, 32, 0x147AE148},        // AD9850: truncating would give ...147
         {0, 1e6, 32, 0},
         {1.5, 16, 4, 2},
         {2.5, 16, 4, 3},  // ties go up, not to even
         {0.25, 1, 1, 1},
         {1e-300, 1e9, 48, 0},
         {15.49, 16, 4, 15},
         {15.5, 16, 4, std::nullopt},  // rounds to the clock: no 4-bit word
         {-1e-9, 16, 4, std::nullopt},
         {nan, 16, 4, std::nullopt},
         {1, 0, 4, std::nullopt}}};
    for (const Case& c : cases) {
        EXPECT_EQ(frequencyWord(c.hz, c.clock, c.bits), c.word) << c.hz << " @ " << c.clock;
        const auto hz = Rational::fromDouble(c.hz), clock = Rational::fromDouble(c.clock);
        if (hz && clock && c.hz > 1e-300) {
            EXPECT_EQ(frequencyWord(*hz, *clock, c.bits), c.word) << c.hz << " @ " << c.clock;
        }
    }
    // A tie only in exact arithmetic: 1/3 x 2 / (4/3) is one half.
    EXPECT_EQ(frequencyWord(Rational(1, 3), Rational(4, 3), 1), 1U);
    EXPECT_EQ(wordFrequency(0x400000000000, 200e6, 48), 50e6);
}

TEST(DecimalValue, GivesTheFifteenDigitDecimalAFieldSpells) {
    const std::array<std::pair<double, std::optional<Rational>>, 8> cases = {{
        {14.0971 * 1e6, Rational(14097100)},
        {16.7633333333333 * 1e6, Rational(167633333333333, 10000000)},
        {0.0015, Rational(3, 2000)},
        {-18000.0 / 8192, Rational(-1125, 512)},
        {1.0 / 3, Rational(333333333333333, 1000000000000000)},
        {1.5e20, Rational(Int128{150000000} * 1000000000000)},
        {1e26, std::nullopt},
        {std::numeric_limits<double>::infinity(), std::nullopt},
    }};
    for (const auto& [value, exact] : cases) EXPECT_EQ(decimalValue(value), exact) << value;
}

TEST(RoundedWord, GivesTheListingEncodersBytesAt48Bits) {
    for (const double v : {1.5, -1.6, 16777215.6, 2.5e14, 281474976710661.0, -0.5}) {
        double listing = v;
        EXPECT_EQ(wordBytesText(roundedWord(v, 48), 6), encodeTuningWord(listing).view()) << v;
    }
    EXPECT_EQ(roundedWord(-8192, 16), 0xE000u);  // the listing's PHASE180 for RF Mult -1
}

TEST(WordBytes, ReadsTheListingsFormOnly) {
    const std::array<std::pair<const char*, std::optional<std::uint64_t>>, 10> cases = {
        {{"0x40,0x00,0x49,0xFC,0xCE,0x47", 0x400049FCCE47},
         {"0x24,0xfe,0x67,0x24", 0x24FE6724},
         {"0X7,0xA", 0x070A},
         {"0xFF,0xFF,0xFF,0xFF,0xFF,0xFF,0xFF,0xFF", ~std::uint64_t{0}},
         {"0x01,0x02,0x03,0x04,0x05,0x06,0x07,0x08,0x09", std::nullopt},
         {"0x100", std::nullopt},
         {"0x40,", std::nullopt},
         {"0x40, 0x00", std::nullopt},
         {"40,00", std::nullopt},
         {"", std::nullopt}}};
    for (const auto& [text, value] : cases) {
        const auto word = parseWordBytes(text);
        EXPECT_EQ(word ? std::optional(word->value) : std::nullopt, value) << text;
    }
    EXPECT_EQ(parseWordBytes("0X7,0xA")->bytes, 2);
    EXPECT_EQ(wordBytesText(0x123456789ABC, 4), "0x56,0x78,0x9A,0xBC");  // the low four only
}

}  // namespace
}  // namespace meridel::numbers
