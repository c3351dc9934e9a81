// Clock corrections: a clock that runs off by a known amount, "measured" through one word and
// corrected, gives words within one step (and the counter's resolution) of their request at
// the true clock.
#include "numbers/clock_correction.h"

#include <gtest/gtest.h>

#include <array>

#include "numbers/tuning_word.h"
#include "si5351/plan.h"

namespace meridel::numbers {
namespace {

Rational exact(double v) {
    return *Rational::fromDouble(v);
}

Rational word(std::uint64_t ftw) {
    return Rational(static_cast<Int128>(ftw));
}

TEST(ClockCorrection, MeasuredRoundTripWithinOneStep) {
    struct Row {
        double clockHz;
        int bits;
        double ppm;        // how fast the real clock runs
        int rfMult;        // the counter reads at the antenna
        double carrierHz;  // at the chip
    };
    const std::array<Row, 5> rows = {{{125e6, 32, 37.3, 1, 10.1387e6},
                                      {1e9, 48, -54, 96, 108e6},
                                      {25e6, 28, 250, 1, 1.5e6},
                                      {1e9, 48, -0.8, 9, 377.881e6},
                                      {200e6, 48, 3, 1, 50e6}}};
    for (const Row& r : rows) {
        const Rational scale(Int128(1) << r.bits);
        const Rational trueClock = correctedClock(exact(r.clockHz), *factorFromPpm(exact(r.ppm)));
        const std::uint64_t before = *frequencyWord(r.carrierHz, r.clockHz, r.bits);
        // What the counter shows, to the millihertz.
        const Rational shown = word(before) * trueClock / scale * Rational(r.rfMult);
        const Rational measured((shown * Rational(1000)).floor(), 1000);
        const Rational expected = word(before) * exact(r.clockHz) / scale * Rational(r.rfMult);
        const Rational factor = *factorFromMeasurement(expected, measured);
        EXPECT_NEAR(partsPerBillion(factor).toDouble(), r.ppm * 1000, 1) << r.carrierHz;

        const double corrected = correctedClock(exact(r.clockHz), factor).toDouble();
        const std::uint64_t after = *frequencyWord(r.carrierHz, corrected, r.bits);
        const Rational error = (word(after) * trueClock / scale - exact(r.carrierHz)).abs();
        // One step, plus the counter's millihertz carried back through the multiplier.
        const Rational allowed = trueClock / scale + Rational(1, 1000 * r.rfMult);
        EXPECT_LE(error, allowed) << r.carrierHz << ": " << error.toDouble();
    }
}

TEST(ClockCorrection, SignAndLimits) {
    // Positive means fast: the true clock is above the nominal one.
    EXPECT_EQ(*factorFromPpm(Rational(10)), Rational(1000010, 1000000));
    EXPECT_EQ(*factorFromPpb(Rational(-250)), Rational(999999750, 1000000000));
    EXPECT_EQ(partsPerBillion(*factorFromPpm(Rational(-3, 2))), Rational(-1500));
    // Up to 1000 ppm either way, what a real clock can be off; a counter's reading in MHz
    // (50 for 50 MHz) or at the chip behind a tripler is far beyond.
    EXPECT_TRUE(factorFromPpm(Rational(-1000)));
    EXPECT_TRUE(factorFromPpb(Rational(1000000)));
    EXPECT_FALSE(factorFromPpm(Rational(10001, 10)));
    EXPECT_FALSE(factorFromPpb(Rational(-1000001)));
    EXPECT_FALSE(factorFromPpm(Rational(-1000000)));
    EXPECT_TRUE(factorFromMeasurement(Rational(50000000), Rational(50050000)));
    EXPECT_FALSE(factorFromMeasurement(Rational(50000000), Rational(50050001)));
    EXPECT_FALSE(factorFromMeasurement(Rational(50000000), Rational(50)));
    EXPECT_FALSE(factorFromMeasurement(Rational(0), Rational(5)));
    EXPECT_FALSE(factorFromMeasurement(Rational(5), Rational(-1)));
}

TEST(ClockCorrection, Si5351CrystalRoundTrip) {
    const Rational nominal(27000000);
    const Rational trueXtal = correctedClock(nominal, *factorFromPpb(Rational(-12345)));
    const std::array<Rational, 2> tones = {Rational(144490500),
                                           Rational(144490500) + Rational(375, 256)};
    const auto before = si5351::plan(nominal, tones);
    const Rational measured = before.tones[0].actualHz * trueXtal / nominal;
    const Rational factor = *factorFromMeasurement(before.tones[0].actualHz, measured);
    const auto after = si5351::plan(correctedClock(nominal, factor), tones);
    for (const auto& t : after.tones) {
        const Rational real =
            si5351::outputHz(trueXtal, t.feedback, Rational(after.outputDivider), after.rDivider);
        EXPECT_LT((real - t.requestedHz).abs(), Rational(1, 1000));
    }
}

}  // namespace
}  // namespace meridel::numbers
