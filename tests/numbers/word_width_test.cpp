// The N-bit words: exact rounding of f x 2^N / clock against an independent 128-bit computation,
// the listing's 48-bit rounding at other widths, and the byte texts both ways.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "numbers/checked_math.h"
#include "numbers/tuning_word.h"

namespace meridel::numbers {
namespace {

__extension__ typedef unsigned __int128 Wide;

// round(hz x 2^bits / clock), ties up, for hz and clock that are whole multiples of 2^-16.
std::uint64_t exactWord(double hz, double clock, int bits) {
    const Wide h = static_cast<Wide>(std::ldexp(hz, 16));
    const Wide c = static_cast<Wide>(std::ldexp(clock, 16));
    return static_cast<std::uint64_t>(((h << bits) * 2 + c) / (2 * c));
}

struct SheetVector {
    double hz, clock;
    int bits;
    std::uint64_t word;
};

// The data sheets' own examples, and the AD9850 case where rounding and truncation differ.
constexpr std::array<SheetVector, 5> kSheetVectors = {{
    {10e6, 180e6, 32, 0x0E38E38E},        // AD9851
    {41e6, 122.88e6, 32, 0x556AAAAB},     // AD9910, 1 433 053 867
    {155.52e6, 1e9, 48, 0x27D028A1DFB9},  // 48-bit DDS
    {10e6, 125e6, 32, 0x147AE148},        // AD9850: truncation would give ...147
    {5e6, 25e6, 32, 0x33333333},          // AD9832
}};

TEST(FrequencyWord, DataSheetVectors) {
    for (const SheetVector& v : kSheetVectors) {
        EXPECT_EQ(frequencyWord(v.hz, v.clock, v.bits), v.word) << v.hz << " @ " << v.clock;
    }
}

TEST(FrequencyWord, EqualsTheExactRoundingOnAGridOfPlans) {
    constexpr std::array<double, 7> kClocks = {25e6, 125e6, 122.88e6, 180e6, 200e6, 300e6, 1e9};
    constexpr std::array<double, 4> kCarriers = {1.8366e6, 7.0386e6, 10.1387e6, 14.0956e6};
    int checked = 0;
    for (const double clock : kClocks) {
        for (const double carrier : kCarriers) {
            for (int step = -3; step < 200; step += 7) {
                const double hz = carrier + step * (12000.0 / 8192.0);  // WSPR-sized steps
                if (hz >= clock) continue;
                for (const int bits : {28, 32, 48}) {
                    ASSERT_EQ(frequencyWord(hz, clock, bits), exactWord(hz, clock, bits))
                        << hz << " Hz @ " << clock << ", " << bits << " bits";
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 2000);
}

struct EdgeCase {
    double hz, clock;
    int bits;
    std::optional<std::uint64_t> word;
};

TEST(FrequencyWord, EdgesOfTheDomain) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::array<EdgeCase, 13> cases = {{
        {0, 1e6, 32, 0},
        {1.5, 16, 4, 2},  // a tie goes up
        {2.5, 16, 4, 3},  // ...not to the even neighbour
        {2.4999999, 16, 4, 2},
        {0.25, 1, 1, 1},  // 0.5 at one bit rounds up into the top
        {1e-300, 1e9, 48, 0},
        {15.49, 16, 4, 15},
        {15.5, 16, 4, std::nullopt},  // rounds to the clock: no 4-bit word
        {16, 16, 4, std::nullopt},
        {-1e-9, 16, 4, std::nullopt},
        {nan, 16, 4, std::nullopt},
        {1, 0, 4, std::nullopt},
        {1, 16, 64, std::nullopt},
    }};
    for (const EdgeCase& c : cases) {
        EXPECT_EQ(frequencyWord(c.hz, c.clock, c.bits), c.word) << c.hz << " @ " << c.clock;
    }
}

TEST(FrequencyWord, ReadsBackWithinHalfAStep) {
    for (const SheetVector& v : kSheetVectors) {
        const double hz = wordFrequency(*frequencyWord(v.hz, v.clock, v.bits), v.clock, v.bits);
        EXPECT_LE(std::fabs(hz - v.hz), std::ldexp(v.clock, -v.bits - 1)) << v.hz;
    }
    EXPECT_EQ(wordFrequency(0x400000000000, 200e6, 48), 50e6);
}

TEST(RoundedWord, GivesTheListingEncodersBytesAt48Bits) {
    constexpr std::array<double, 10> kValues = {
        0,   1.5, -1, -1.6, 16777215.6, 7576321.5, 2.5e14, 281474976710655.4, 281474976710656.0 + 5,
        -0.5};
    for (const double v : kValues) {
        double listing = v;
        const std::string text(encodeTuningWord(listing).view());
        EXPECT_EQ(wordBytesText(roundedWord(v, 48), 6), text) << v;
    }
    EXPECT_THROW(roundedWord(std::ldexp(1.0, 55), 32), ArithmeticError);
}

TEST(RoundedWord, KeepsTheLowBitsOfOtherWidths) {
    EXPECT_EQ(roundedWord(8192, 16), 0x2000u);
    EXPECT_EQ(roundedWord(-8192, 16), 0xE000u);  // the listing's PHASE180 for RF Mult -1
    EXPECT_EQ(roundedWord(2730.5, 14), 2731u);
    EXPECT_EQ(roundedWord(-2048, 12), 0x800u);
    EXPECT_EQ(roundedWord(15.5, 4), 0u);  // 16 wraps
}

struct BytesCase {
    const char* text;
    std::optional<std::uint64_t> value;
    int bytes;
};

TEST(WordBytes, ReadsTheListingsForm) {
    const std::array<BytesCase, 12> cases = {{
        {"0x40,0x00,0x49,0xFC,0xCE,0x47", 0x400049FCCE47, 6},
        {"0x24,0xfe,0x67,0x24", 0x24FE6724, 4},
        {"0X7,0xA", 0x070A, 2},
        {"0xFF,0xFF,0xFF,0xFF,0xFF,0xFF,0xFF,0xFF", 0xFFFFFFFFFFFFFFFF, 8},
        {"0x01,0x02,0x03,0x04,0x05,0x06,0x07,0x08,0x09", std::nullopt, 0},  // nine bytes
        {"0x100", std::nullopt, 0},
        {"0x", std::nullopt, 0},
        {"0x40,", std::nullopt, 0},
        {"0x40, 0x00", std::nullopt, 0},
        {"40,00", std::nullopt, 0},
        {"0x4G", std::nullopt, 0},
        {"", std::nullopt, 0},
    }};
    for (const BytesCase& c : cases) {
        const auto word = parseWordBytes(c.text);
        ASSERT_EQ(word.has_value(), c.value.has_value()) << c.text;
        if (!word) continue;
        EXPECT_EQ(word->value, *c.value) << c.text;
        EXPECT_EQ(word->bytes, c.bytes) << c.text;
    }
    EXPECT_EQ(wordBytesText(0x24FE6724, 4), "0x24,0xFE,0x67,0x24");
    EXPECT_EQ(wordBytesText(0x123456789ABC, 4), "0x56,0x78,0x9A,0xBC");  // the low four only
}

}  // namespace
}  // namespace meridel::numbers
