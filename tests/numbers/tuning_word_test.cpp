#include "numbers/tuning_word.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numbers/checked_math.h"

namespace meridel::numbers {
namespace {

struct EncodeCase {
    double value;
    const char* text;
    double rounded;
};

class Encoder : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(Encoder, SpellsTheRoundedWordAndHandsItBack) {
    const EncodeCase& c = GetParam();
    double value = c.value;
    EXPECT_EQ(encodeTuningWord(value).view(), c.text);
    EXPECT_EQ(value, c.rounded);
}

constexpr double k24 = 16777216.0;
constexpr double k48 = 281474976710656.0;

INSTANTIATE_TEST_SUITE_P(
    Table, Encoder,
    ::testing::Values(
        EncodeCase{double(0x123456789ABC), "0x12,0x34,0x56,0x78,0x9A,0xBC", double(0x123456789ABC)},
        EncodeCase{k48 / 2, "0x80,0x00,0x00,0x00,0x00,0x00", k48 / 2},
        EncodeCase{1.5, "0x00,0x00,0x00,0x00,0x00,0x02", 2},
        EncodeCase{k24 - 0.4, "0x00,0x00,0x01,0x00,0x00,0x00", k24},  // carry into the high half
        EncodeCase{0, "0x00,0x00,0x00,0x00,0x00,0x00", 0},
        EncodeCase{double(0x0000010000AB), "0x00,0x00,0x01,0x00,0x00,0xAB", double(0x10000AB)},
        EncodeCase{double(0x00ABCD000001), "0x00,0xAB,0xCD,0x00,0x00,0x01", double(0xABCD000001)},
        EncodeCase{10.5, "0x00,0x00,0x00,0x00,0x00,0x0B", 11},  // a half rounds up
        EncodeCase{10.4999, "0x00,0x00,0x00,0x00,0x00,0x0A", 10},
        EncodeCase{k48 - 0.6, "0xFF,0xFF,0xFF,0xFF,0xFF,0xFF", k48 - 1},
        EncodeCase{7576321.5, "0x00,0x00,0x00,0x73,0x9B,0x02", 7576322},
        // Outside the domain the word wraps modulo 2^48 as the DDS accumulator does.
        EncodeCase{k48 - 0.5, "0x00,0x00,0x00,0x00,0x00,0x00", k48},
        EncodeCase{k48 + 5, "0x00,0x00,0x00,0x00,0x00,0x05", k48 + 5},
        EncodeCase{-1, "0xFF,0xFF,0xFF,0xFF,0xFF,0xFF", -1},
        EncodeCase{-1.6, "0xFF,0xFF,0xFF,0xFF,0xFF,0xFE", -2},
        EncodeCase{-0.5, "0x00,0x00,0x00,0x00,0x00,0x00", 0}));

TEST(Encoder, ReplacesTheTextAndRoundsHalfUpEverywhereInItsDomain) {
    // Every value's text spells round-half-up of the value, and the value comes back rounded.
    for (double v : {0.49, 0.5, 123456.5, 8388607.5, k24 + 0.5, 2.5e14 + 0.25, k48 - 1.0}) {
        double value = v;
        const std::string text(encodeTuningWord(value).view());
        ASSERT_EQ(text.size(), 29u);
        const double expected = std::floor(v + 0.5);
        EXPECT_EQ(value, expected) << v;
        std::uint64_t spelled = 0;
        for (int byte = 0; byte < 6; ++byte) {
            spelled = spelled * 256 + std::stoul(text.substr(byte * 5 + 2, 2), nullptr, 16);
        }
        EXPECT_EQ(spelled, static_cast<std::uint64_t>(expected)) << text;
    }
}

TEST(Encoder, FailsWhenTheHighHalfDoesNotFitThirtyTwoBits) {
    for (double v : {std::ldexp(1.0, 55), -std::ldexp(1.0, 55) - k24, 1e300,
                     std::numeric_limits<double>::quiet_NaN()}) {
        double value = v;
        EXPECT_THROW(encodeTuningWord(value), ArithmeticError) << v;
    }
    double justInside = std::ldexp(1.0, 55) - k24;
    EXPECT_NO_THROW(encodeTuningWord(justInside));
}

TEST(Encoder, LowBytesAreTheLastCharacters) {
    const std::string text = "0x12,0x34,0x56,0x78,0x9A,0xBC";
    EXPECT_EQ(lowBytes(text, 4), "0x56,0x78,0x9A,0xBC");
    EXPECT_EQ(lowBytes(text, 2), "0x9A,0xBC");
}

}  // namespace
}  // namespace meridel::numbers
