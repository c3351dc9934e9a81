// The checks on a chip's words: tones reached as base + n x interval, the W0 phase byte.
#include "firmware/word_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace meridel::firmware {
namespace {

// 2^29 Hz on a 32-bit chip: one step is 0.125 Hz, so every word's frequency is exact.
ChipWords toneSet(const char* baseId, double baseHz, std::uint64_t baseFtw, const char* intervalId,
                  double spacingHz, std::uint64_t intervalFtw) {
    ChipWords w;
    w.chip = dds::findChip("AD9910");
    w.clockHz = 536870912.0;
    w.rfMult = 1;
    w.tones = {{baseId, "Base", baseHz, baseFtw, 0}};
    w.intervals = {{intervalId, "Step", spacingHz, intervalFtw, 0}};
    return w;
}

// The step checks' warnings and refusals, counted.
std::pair<int, int> stepChecks(const ChipWords& words) {
    const WordChecks checks = checkWords(words);
    const auto count = [](const std::vector<std::string>& texts) {
        return static_cast<int>(std::count_if(
            texts.begin(), texts.end(), [](const auto& t) { return t.rfind("Step of", 0) == 0; }));
    };
    return {count(checks.warnings), count(checks.refusals)};
}

// Spacing 12.5 Hz = 100 steps: one step off is 0.01 of the spacing, 50 steps half of it.
TEST(WordChecks, TonesOffTheirPlace) {
    const double justBelow = std::nextafter(1000.0, 0.0);
    const std::array<std::tuple<double, std::uint64_t, std::uint64_t, std::pair<int, int>>, 7>
        rows = {{
            {1000, 8000, 100, {0, 0}},
            {1000, 8001, 100, {0, 0}},       // 0.01 of the spacing on every tone
            {justBelow, 8001, 100, {1, 0}},  // just past it
            {1000, 8000, 101, {1, 0}},       // tone 3 is 0.03 off
            {1000, 8050, 100, {1, 0}},       // half the spacing
            {justBelow, 8050, 100, {0, 1}},
            {1000, 8000, 0, {0, 1}},
        }};
    for (const auto& [baseHz, baseFtw, intervalFtw, counts] : rows) {
        EXPECT_EQ(
            stepChecks(toneSet("WSPR_BASE", baseHz, baseFtw, "WSPR_INTERVAL", 12.5, intervalFtw)),
            counts)
            << baseFtw << " " << intervalFtw;
    }
    EXPECT_EQ(checkWords(toneSet("WSPR_BASE", 1000, 8000, "WSPR_INTERVAL", 12.5, 101)).warnings[0],
              "Step of 12.5 Hz at the DDS output: tone 3 as Base + 3 x interval is 0.375 Hz off, "
              "0.03 of the spacing (one AD9910 step is 0.125 Hz); a higher clock or a lower RF Mult "
              "helps");
    // A base and an interval of different modes are no tone set.
    EXPECT_EQ(stepChecks(toneSet("WSPR_BASE", 1000, 8000, "JT4_INTERVAL", 12.5, 0)),
              std::make_pair(0, 0));
    // JT65 reaches 65 intervals above its sync tone: only tone 65 is past 0.01 here.
    const double e = 0.125 / 64.5;
    EXPECT_EQ(stepChecks(toneSet("JT_SYNC", 1000, 8000, "JT65_INTERVAL", 12.5 - e, 100)),
              std::make_pair(1, 0));
    // The AD9852 listing spells a tone below 0 Hz as a word of the upper half: in its place.
    ChipWords below = toneSet("WSPR_BASE", -2.0, (std::uint64_t{1} << 48) - (1U << 21),
                              "WSPR_INTERVAL", 1.0, 1U << 20);
    below.chip = &dds::defaultChip();
    below.clockHz = 268435456.0;
    EXPECT_EQ(stepChecks(below), std::make_pair(0, 0));
}

// W0: phase in bits 7..3, the AD9851's 6x multiplier in bit 0 (never the AD9850's test bit);
// 180 degrees on air is 180 / RF Mult at the DDS, in 11.25-degree steps.
TEST(WordChecks, W0PhaseByteAndWarnings) {
    const std::array<std::tuple<const char*, std::optional<int>, std::uint64_t, int>, 4> bytes = {
        {{"AD9851", 6, 16, 0x81},
         {"AD9851", {}, 16, 0x80},
         {"AD9850", 6, 16, 0x80},
         {"AD9850", {}, 31, 0xF8}}};
    ChipWords w;
    for (const auto& [chip, refMult, phase, w0] : bytes) {
        w.chip = dds::findChip(chip);
        w.refMult = refMult;
        EXPECT_EQ(w0Byte(w, phase), w0) << chip << " " << phase;
    }
    const std::array<std::tuple<int, std::uint64_t, const char*>, 4> warnings = {{
        {16, 1, nullptr},
        {3, 5, "168.75 degrees on air, not 180: RF Mult 3 needs 60 degrees at the DDS;"},
        {17, 1,
         "191.25 degrees on air, not 180: RF Mult 17 needs 10.5882352941176 degrees at "
         "the DDS, less than one 11.25-degree step of the AD9851's phase word;"},
        {33, 0, "by 0 degrees on air"},
    }};
    w.chip = dds::findChip("AD9851");
    for (const auto& [rfMult, phase, text] : warnings) {
        w.rfMult = rfMult;
        w.phaseConstant = phase;
        const std::vector<std::string> found = checkWords(w).warnings;
        ASSERT_EQ(found.size(), text ? 1U : 0U) << rfMult;
        if (text) {
            EXPECT_NE(found[0].find(text), std::string::npos) << found[0];
        }
    }
}

}  // namespace
}  // namespace meridel::firmware
