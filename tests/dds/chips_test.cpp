// The chip table's multiplier rules and the limit warnings of a plan.
#include "dds/chips.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace meridel::dds {
namespace {

TEST(Chips, MultiplierRules) {
    const std::array<std::tuple<const char*, int, bool>, 14> rows = {{{"AD9852", 4, true},
                                                                      {"AD9852", 1, true},
                                                                      {"AD9852", 3, false},
                                                                      {"AD9852", 21, false},
                                                                      {"AD9851", 6, true},
                                                                      {"AD9851", 5, false},
                                                                      {"AD9910", 12, true},
                                                                      {"AD9910", 127, true},
                                                                      {"AD9910", 128, false},
                                                                      {"AD9912", 40, true},
                                                                      {"AD9912", 41, false},
                                                                      {"AD9912", 2, false},
                                                                      {"AD9850", 6, false},
                                                                      {"AD9850", 1, true}}};
    for (const auto& [name, multiplier, allowed] : rows) {
        EXPECT_EQ(allowsMultiplier(*findChip(name), multiplier), allowed) << name << multiplier;
    }
    EXPECT_EQ(multiplierText(*findChip("AD9912")), "even values from 4, or 1 to bypass it");
    EXPECT_EQ(findChip("ad9852 "), nullptr);
}

TEST(Chips, LimitWarnings) {
    using K = LimitKind;
    const double above04 = std::nextafter(40e6, 1e9);
    const double below05 = std::nextafter(50e6, 0.0);
    const std::array<std::tuple<const char*, PlanLimits, std::vector<K>>, 8> rows = {{
        {"AD9851", {100e6, 6, {{"Tone", 40e6}}}, {}},  // exactly 0.4 x clock is still fine
        {"AD9851", {100e6, 6, {{"Tone", above04}}}, {K::AboveCarrierLimit}},
        {"AD9851", {100e6, 6, {{"Tone", below05}}}, {K::AboveCarrierLimit}},
        {"AD9851", {100e6, 6, {{"Tone", 50e6}}}, {K::AliasAboveHalfClock}},
        {"AD9851", {180.000001e6, {}, {{"Tone", 14e6}}}, {K::ClockAboveMaximum}},
        {"AD9851",
         {180e6, 5, {{"Tone", 72.1e6}}},
         {K::UnsupportedMultiplier, K::AboveCarrierLimit}},
        {"AD9833", {30e6, 2, {{"Tone", 1e6}}}, {K::ClockAboveMaximum, K::UnsupportedMultiplier}},
        {"AD9910", {1e9, 1, {{"Tone", 399e6}}}, {}},
    }};
    for (const auto& [name, plan, kinds] : rows) {
        std::vector<K> found;
        for (const LimitWarning& w : checkLimits(*findChip(name), plan)) found.push_back(w.kind);
        EXPECT_EQ(found, kinds) << name << " @ " << plan.clockHz << ": " << plan.tones[0].hz;
    }
}

}  // namespace
}  // namespace meridel::dds
