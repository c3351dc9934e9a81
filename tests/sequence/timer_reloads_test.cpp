// Timer counts of real MCU timers over every template: the counts add up to the period exactly
// and every event is counted within 1 us of its exact time.
#include <gtest/gtest.h>

#include "planfile/plan_file.h"
#include "sequence/template_plan.h"
#include "sequence/timer_reloads.h"

namespace {
using meridel::sequence::Rational;
using meridel::sequence::TimerSpec;

struct Mcu {
    const char* name;
    TimerSpec timer;
} const kMcus[] = {
    {"ATmega328P Timer1, 16 MHz", {16'000'000, 1, 16}},
    {"ATmega328P Timer1, 16 MHz / 8", {16'000'000, 8, 16}},
    {"ATmega328P Timer2, 16 MHz / 8", {16'000'000, 8, 8}},
    {"RP2040 PWM, 125 MHz", {125'000'000, 1, 16}},
    {"RP2040 PWM, 125 MHz / 100", {125'000'000, 100, 16}},
};

TEST(TimerReloads, CountsAddUpToThePeriodAndKeepEveryEventWithinAMicrosecond) {
    for (const char* name : {"iaru-mixed", "jt4-cw", "jt65-cw", "wspr", "cw-carrier"}) {
        const auto cycle = meridel::testing::loadTemplate(name).cycle();
        for (const Mcu& mcu : kMcus) {
            const auto plan = meridel::sequence::timerReloads(cycle, mcu.timer);
            const Rational rate(static_cast<std::int64_t>(mcu.timer.hz), mcu.timer.prescaler);
            ASSERT_EQ(plan.reloads.size(), cycle.events.size());
            std::uint64_t counted = 0;
            for (std::size_t i = 0; i < cycle.events.size(); ++i) {
                const auto& r = plan.reloads[i];
                EXPECT_EQ(r.wraps * (std::uint64_t(1) << mcu.timer.bits) + r.rest, r.ticks);
                counted += r.ticks;
                const Rational error =
                    Rational(static_cast<std::int64_t>(counted)) / rate - cycle.events[i].at;
                EXPECT_LT(error * (error < Rational(0) ? Rational(-1) : Rational(1)),
                          Rational(1, 1000000))
                    << name << ", " << mcu.name << ", event " << i;
            }
            counted += plan.tail.ticks;
            EXPECT_EQ(Rational(static_cast<std::int64_t>(counted)), cycle.period() * rate)
                << name << ", " << mcu.name;
            EXPECT_LT(plan.worstError, Rational(1, 1000000)) << name << ", " << mcu.name;
        }
    }
}

// A period of no whole number of counts: the tail holds the whole part and the fraction is
// carried, so the counts of any number of cycles add up to their time exactly.
TEST(TimerReloads, APeriodOfNoWholeCountsCarriesItsFraction) {
    const auto carrierTo60 = meridel::testing::loadPlan(meridel::planfile::readPlan(
        "[[segment]]\nkind = \"carrier\"\nstart = 0\nend = 60\n", "carrier.toml"));
    struct Case {
        const char* name;
        meridel::testing::LoadedPlan plan;
        TimerSpec timer;
        Rational carry;
        double driftPerDay;  // seconds, without the carry
        std::uint64_t tailTicks;
    } const cases[] = {
        // 10 MHz / 1024: 585937.5 counts a minute, half a count short a minute without the carry.
        {"cw-carrier",
         meridel::testing::loadTemplate("cw-carrier"),
         {10'000'000, 1024, 16},
         {1, 2},
         0.073728,
         4882},
        // An event at the very end still comes before the next cycle's start.
        {"carrier to 60 s", carrierTo60, {10'000'000, 1024, 16}, {1, 2}, 0.073728, 0},
        {"jt65-cw",
         meridel::testing::loadTemplate("jt65-cw"),
         {16'000'000, 7, 16},
         {2, 7},
         0.00009,
         1'142'857},
        {"wspr", meridel::testing::loadTemplate("wspr"), {10'000'000, 1024, 8}, {0}, 0, 4'769'609},
    };
    for (const Case& c : cases) {
        const auto cycle = c.plan.cycle();
        const auto plan = meridel::sequence::timerReloads(cycle, c.timer);
        std::uint64_t counted = plan.tail.ticks;
        for (const auto& r : plan.reloads) counted += r.ticks;
        EXPECT_EQ(plan.carry, c.carry) << c.name;
        EXPECT_EQ(
            Rational(static_cast<std::int64_t>(counted)) + plan.carry,
            cycle.period() * Rational(static_cast<std::int64_t>(c.timer.hz), c.timer.prescaler))
            << c.name;
        EXPECT_NEAR(plan.driftPerDay().toDouble(), c.driftPerDay, 1e-12) << c.name;
        EXPECT_EQ(plan.tail.ticks, c.tailTicks) << c.name;
    }
}

TEST(TimerReloads, ACoarseTickShowsInTheWorstErrorAndBadTimersAreRefused) {
    const auto cycle = meridel::testing::loadTemplate("wspr").cycle();
    // 16 MHz / 1024: 64 us a count; WSPR's 682666.67 us symbols miss by up to half of that.
    const auto coarse = meridel::sequence::timerReloads(cycle, {16'000'000, 1024, 16});
    EXPECT_GT(coarse.worstError, Rational(20, 1000000));
    EXPECT_LE(coarse.worstError, Rational(32, 1000000));
    for (const TimerSpec bad : {TimerSpec{0, 1, 16}, TimerSpec{16'000'000, 0, 16},
                                TimerSpec{16'000'000, 1, 7}, TimerSpec{16'000'000, 1, 33}}) {
        EXPECT_THROW(meridel::sequence::timerReloads(cycle, bad), meridel::sequence::SequenceError);
    }
}

}  // namespace
