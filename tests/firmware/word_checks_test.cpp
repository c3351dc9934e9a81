// The checks on a chip's words: tones reached as base + n x interval, the W0 phase byte.
#include "firmware/word_checks.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace meridel::firmware {
namespace {

// 2^29 Hz on a 32-bit chip: one step is 0.125 Hz, so every word's frequency is exact.
constexpr double kClock = 536870912.0;

ChipWords toneSet(const char* baseId, double baseHz, std::uint64_t baseFtw, const char* intervalId,
                  double spacingHz, std::uint64_t intervalFtw) {
    ChipWords w;
    w.chip = dds::findChip("AD9910");
    w.clockHz = kClock;
    w.rfMult = 1;
    w.tones = {{baseId, "Base", baseHz, baseFtw, 0}};
    w.intervals = {{intervalId, "Step", spacingHz, intervalFtw, 0}};
    return w;
}

std::vector<std::string> stepTexts(const ChipWords& words, bool refusals) {
    WordChecks checks = checkWords(words);
    std::vector<std::string> found;
    for (const std::string& text : refusals ? checks.refusals : checks.warnings) {
        if (text.rfind("Step of", 0) == 0) found.push_back(text);
    }
    return found;
}

TEST(WordChecks, VerdictAtTheThresholds) {
    const std::array<std::tuple<double, bool, StepVerdict>, 7> rows = {{
        {0.0, false, StepVerdict::Fine},
        {0.01, false, StepVerdict::Fine},
        {std::nextafter(0.01, 1.0), false, StepVerdict::Warn},
        {0.5, false, StepVerdict::Warn},
        {std::nextafter(0.5, 1.0), false, StepVerdict::Refuse},
        {NAN, false, StepVerdict::Refuse},
        {0.0, true, StepVerdict::Refuse},
    }};
    for (const auto& [fraction, zero, verdict] : rows) {
        EXPECT_EQ(stepVerdict(fraction, zero), verdict) << fraction << " " << zero;
    }
}

// Spacing 12.5 Hz = 100 steps: one step off is 0.01 of the spacing, 50 steps half of it.
TEST(WordChecks, TonesOffTheirPlace) {
    const double justBelow = std::nextafter(1000.0, 0.0);
    struct Row {
        double baseHz;
        std::uint64_t baseFtw, intervalFtw;
        std::size_t warnings, refusals;
    };
    const std::array<Row, 7> rows = {{
        {1000, 8000, 100, 0, 0},
        {1000, 8001, 100, 0, 0},       // 0.01 of the spacing on every tone
        {justBelow, 8001, 100, 1, 0},  // just past it
        {1000, 8000, 101, 1, 0},       // tone 3 is 0.03 off
        {1000, 8050, 100, 1, 0},       // half the spacing
        {justBelow, 8050, 100, 0, 1},
        {1000, 8000, 0, 0, 1},
    }};
    for (const Row& r : rows) {
        const ChipWords w =
            toneSet("WSPR_BASE", r.baseHz, r.baseFtw, "WSPR_INTERVAL", 12.5, r.intervalFtw);
        EXPECT_EQ(stepTexts(w, false).size(), r.warnings) << r.baseFtw << " " << r.intervalFtw;
        EXPECT_EQ(stepTexts(w, true).size(), r.refusals) << r.baseFtw << " " << r.intervalFtw;
    }
    EXPECT_EQ(stepTexts(toneSet("WSPR_BASE", 1000, 8000, "WSPR_INTERVAL", 12.5, 101), false)[0],
              "Step of 12.5 Hz at the DDS output: tone 3 as Base + 3 x interval is .375 Hz off, "
              ".03 of the spacing (one AD9910 step is .125 Hz); a higher clock or a lower RF Mult "
              "helps");
    EXPECT_NE(stepTexts(toneSet("WSPR_BASE", 1000, 8000, "WSPR_INTERVAL", 12.5, 0), true)[0].find(
                  "is 0 in the AD9910's steps of .125 Hz"),
              std::string::npos);
    // A base and interval of different modes are no tone set.
    EXPECT_TRUE(stepTexts(toneSet("WSPR_BASE", 1000, 8000, "JT4_INTERVAL", 12.5, 0), true).empty());
}

// JT65 reaches 65 intervals above its sync tone: an interval error that only tone 65 takes past
// 0.01 of the spacing still warns.
TEST(WordChecks, Jt65ReachesTone65) {
    const double e = 0.125 / 64.5;
    const ChipWords w = toneSet("JT_SYNC", 1000, 8000, "JT65_INTERVAL", 12.5 - e, 100);
    ASSERT_EQ(stepTexts(w, false).size(), 1U);
    EXPECT_NE(stepTexts(w, false)[0].find("tone 65 "), std::string::npos);
}

// The AD9852 listing spells a tone below 0 Hz as a word of the upper half; it is in its place.
TEST(WordChecks, NegativeBaseOnThe48BitChip) {
    ChipWords w = toneSet("WSPR_BASE", -2.0, (std::uint64_t{1} << 48) - (std::uint64_t{1} << 21),
                          "WSPR_INTERVAL", 1.0, std::uint64_t{1} << 20);
    w.chip = &dds::defaultChip();
    w.clockHz = 268435456.0;
    w.pllMult = 1;
    EXPECT_TRUE(stepTexts(w, false).empty());
    EXPECT_TRUE(stepTexts(w, true).empty());
}

TEST(WordChecks, W0PhaseByte) {
    ChipWords w;
    w.chip = dds::findChip("AD9851");
    w.clockHz = 180e6;
    struct Row {
        const char* chip;
        std::optional<int> refMult;
        std::uint64_t phase;
        std::uint8_t w0;
    };
    const std::array<Row, 5> rows = {{
        {"AD9851", 6, 16, 0x81},
        {"AD9851", std::nullopt, 16, 0x80},
        {"AD9851", 1, 1, 0x08},
        {"AD9850", 6, 16, 0x80},  // the AD9850's test bits stay 0 whatever was asked
        {"AD9850", std::nullopt, 31, 0xF8},
    }};
    for (const Row& r : rows) {
        w.chip = dds::findChip(r.chip);
        w.refMult = r.refMult;
        EXPECT_EQ(w0Byte(w, r.phase), r.w0) << r.chip << " " << r.phase;
    }
    EXPECT_FALSE(hasW0Byte(*dds::findChip("AD9910")));
}

// 180 degrees on air is 180 / RF Mult at the DDS, in 11.25-degree steps.
TEST(WordChecks, W0PhaseWarnings) {
    const std::array<std::tuple<int, std::uint64_t, const char*>, 5> rows = {{
        {1, 16, nullptr},
        {16, 1, nullptr},
        {3, 5, "168.75 degrees on air, not 180: RF Mult 3 needs 60 degrees at the DDS;"},
        {17, 1,
         "191.25 degrees on air, not 180: RF Mult 17 needs 10.5882352941176 degrees at "
         "the DDS, less than one 11.25-degree step of the AD9851's phase word;"},
        {33, 0, "by 0 degrees on air"},
    }};
    for (const auto& [rfMult, phase, text] : rows) {
        ChipWords w;
        w.chip = dds::findChip("AD9851");
        w.clockHz = 180e6;
        w.rfMult = rfMult;
        w.phaseConstant = phase;
        std::vector<std::string> found;
        for (const std::string& warning : checkWords(w).warnings) {
            if (warning.rfind("PHASE180", 0) == 0) found.push_back(warning);
        }
        if (!text) {
            EXPECT_TRUE(found.empty()) << rfMult;
        } else {
            ASSERT_EQ(found.size(), 1U) << rfMult;
            EXPECT_NE(found[0].find(text), std::string::npos) << found[0];
        }
    }
}

}  // namespace
}  // namespace meridel::firmware
