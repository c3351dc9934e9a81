// Exact time at its edges: decimal texts in and out, rounding below zero, overflow.
#include <gtest/gtest.h>

#include <climits>

#include "sequence/rational.h"

namespace {
using meridel::sequence::Rational;

TEST(Rational, ReadsDecimalsExactlyAndRefusesTheRest) {
    const std::pair<const char*, Rational> good[] = {
        {"59.5", {119, 2}}, {"-0.25", {-1, 4}}, {"+12", {12}}, {"0.10", {1, 10}},
        {".5", {1, 2}},     {"007", {7}},       {"-0", {0}},   {"24.333", {24333, 1000}},
    };
    for (const auto& [text, value] : good) {
        Rational read;
        EXPECT_TRUE(Rational::fromDecimal(text, read)) << text;
        EXPECT_EQ(read, value) << text;
    }
    for (const char* bad : {"", "-", ".", "1.2.3", "1e3", "abc", "12 ", " 1", "1/2",
                            "99999999999999999999", "0.0000000000000000000001"}) {
        Rational read;
        EXPECT_FALSE(Rational::fromDecimal(bad, read)) << bad;
    }
}

TEST(Rational, WritesShortestDecimalsOrAFraction) {
    const std::pair<Rational, const char*> cases[] = {
        {{1, 3}, "1/3"}, {{119, 2}, "59.5"}, {{-1, 4}, "-0.25"},  {{1, 8}, "0.125"},
        {{14, 2}, "7"},  {{1, 20}, "0.05"},  {{-73, 3}, "-73/3"}, {{0}, "0"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(value.text(), text);
}

TEST(Rational, RoundsHalvesAwayFromZeroAndOverflowIsAnError) {
    const std::tuple<Rational, std::int64_t, std::int64_t> cases[] = {
        {{5, 2}, 3, 2}, {{-5, 2}, -3, -3}, {{7, 3}, 2, 2}, {{-7, 3}, -2, -3}, {{-1, 3}, 0, -1},
    };
    for (const auto& [value, rounded, floor] : cases) {
        EXPECT_EQ(value.rounded(), rounded) << value.text();
        EXPECT_EQ(value.floor(), floor) << value.text();
    }
    EXPECT_EQ(Rational(8192, 12000) * Rational(162), Rational(110592, 1000));
    EXPECT_LT(Rational(1, 3), Rational(333334, 1000000));
    EXPECT_THROW(Rational(INT64_MAX) + Rational(1), meridel::sequence::RationalOverflow);
    EXPECT_THROW(Rational(1) / Rational(0), meridel::sequence::RationalOverflow);
}

}  // namespace
