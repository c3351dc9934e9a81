// The chip table against the data-sheet facts of data/dds_chips.txt, its multiplier rules and
// the limit warnings of a plan.
#include "dds/chips.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <sstream>

namespace meridel::dds {
namespace {

// "4-20+bypass", "6-6+bypass", "4--/2+bypass" (no upper bound), "none".
MultiplierRule multiplierRule(std::string text) {
    MultiplierRule rule;
    if (text == "none") return rule;
    if (const auto plus = text.find("+bypass"); plus != std::string::npos) {
        rule.bypass = true;
        text.erase(plus);
    }
    if (const auto slash = text.find('/'); slash != std::string::npos) {
        rule.step = std::stoi(text.substr(slash + 1));
        text.erase(slash);
    }
    const auto dash = text.find('-');
    rule.min = std::stoi(text.substr(0, dash));
    const std::string max = text.substr(dash + 1);
    rule.max = max == "-" ? std::numeric_limits<int>::max() : std::stoi(max);
    return rule;
}

TEST(Chips, MatchTheirDataSheets) {
    std::ifstream in(MERIDEL_TEST_DATA "/dds_chips.txt");
    ASSERT_TRUE(in);
    const std::map<std::string, WireOrder> wires = {{"msb", WireOrder::MsbFirst},
                                                    {"lsb-serial", WireOrder::LsbFirstSerial},
                                                    {"halves14", WireOrder::TwoHalves14}};
    std::set<std::string> listed;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream row(line);
        std::string name, wire, multiplier, listing;
        int bits, bytes, phase, amplitude;
        double maxMHz, stepHz;
        ASSERT_TRUE(row >> name >> bits >> bytes >> wire >> maxMHz >> multiplier >> phase >>
                    amplitude >> listing >> stepHz)
            << line;
        listed.insert(name);
        const Chip* chip = findChip(name);
        ASSERT_NE(chip, nullptr) << name;
        EXPECT_EQ(chip->wordBits, bits) << name;
        EXPECT_EQ(chip->wordBytes, bytes) << name;
        EXPECT_EQ(chip->wireOrder, wires.at(wire)) << name;
        EXPECT_EQ(chip->maxClockHz, maxMHz * 1e6) << name;
        const MultiplierRule rule = multiplierRule(multiplier);
        EXPECT_EQ(chip->multiplier.min, rule.min) << name;
        EXPECT_EQ(chip->multiplier.max, rule.max) << name;
        EXPECT_EQ(chip->multiplier.step, rule.step) << name;
        EXPECT_EQ(chip->multiplier.bypass, rule.bypass) << name;
        EXPECT_EQ(chip->phaseBits, phase) << name;
        EXPECT_EQ(chip->amplitudeBits, amplitude) << name;
        EXPECT_EQ(chip->picListing, listing == "pic") << name;
        // The resolution the data sheet states cross-checks the word width.
        const double step = chip->maxClockHz / std::ldexp(1.0, chip->wordBits);
        EXPECT_NEAR(step / stepHz, 1.0, 0.005) << name;
    }
    std::set<std::string> known;
    for (const Chip& chip : chips()) known.insert(std::string(chip.name));
    EXPECT_EQ(known, listed);
    EXPECT_EQ(defaultChip().name, "AD9852");
}

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
    const std::array<std::tuple<const char*, PlanLimits, std::vector<K>>, 14> rows = {{
        {"AD9851", {100e6, 6, {{"Tone", 40e6}}, {}}, {}},  // exactly 0.4 x clock is still fine
        {"AD9851", {100e6, 6, {{"Tone", above04}}, {}}, {K::AboveCarrierLimit}},
        {"AD9851", {100e6, 6, {{"Tone", below05}}, {}}, {K::AboveCarrierLimit}},
        {"AD9851", {100e6, 6, {{"Tone", 50e6}}, {}}, {K::AliasAboveHalfClock}},
        {"AD9851", {180.000001e6, {}, {{"Tone", 14e6}}, {}}, {K::ClockAboveMaximum}},
        // a calibrated clock is held to the maximum by the clock the plan names
        {"AD9851", {180.00036e6, {}, {{"Tone", 14e6}}, 180e6}, {}},
        {"AD9851", {179.9e6, {}, {{"Tone", 14e6}}, 180.1e6}, {K::ClockAboveMaximum}},
        {"AD9851",
         {180e6, 5, {{"Tone", 72.1e6}}, {}},
         {K::UnsupportedMultiplier, K::AboveCarrierLimit}},
        {"AD9833",
         {30e6, 2, {{"Tone", 1e6}}, {}},
         {K::ClockAboveMaximum, K::UnsupportedMultiplier}},
        {"AD9910", {1e9, 1, {{"Tone", 399e6}}, {}}, {}},
        // the AD9910's PLL takes at most 60 MHz: 960 MHz at x16 is exactly that
        {"AD9910", {960e6, 16, {{"Tone", 14e6}}, {}}, {}},
        {"AD9910", {960.000001e6, 16, {{"Tone", 14e6}}, {}}, {K::PllInputAboveMaximum}},
        {"AD9910", {1e9, 12, {{"Tone", 14e6}}, {}}, {K::PllInputAboveMaximum}},
        {"AD9910", {1e9, 1, {{"Tone", 14e6}}, 1e9}, {}},  // bypassed: no PLL input
    }};
    for (const auto& [name, plan, kinds] : rows) {
        std::vector<K> found;
        for (const LimitWarning& w : checkLimits(*findChip(name), plan)) found.push_back(w.kind);
        EXPECT_EQ(found, kinds) << name << " @ " << plan.clockHz << ": " << plan.tones[0].hz;
    }
}

}  // namespace
}  // namespace meridel::dds
