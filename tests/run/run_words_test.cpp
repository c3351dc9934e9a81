// The run's word list against the listing it wrote: every six-byte line is a tone word and every
// four-byte line an interval word, in order and with the same bytes, each for the frequency the
// plan asks for.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "numbers/tuning_word.h"
#include "run/calculation_run.h"
#include "support/plan_run.h"

namespace meridel::run {
namespace {

using testing::PlanFields;

// Both JT families, RF multipliers, the PLL bypassed, a clock low enough to cut the sync offset
// to four bytes, and a carrier of 0 that wraps the WSPR base below zero.
constexpr std::array<PlanFields, 8> kPlans = {{
    {"20", "10", "50", "1", "1500", "850", "JT65B"},
    {"12.8", "16", "144.49", "3", "1000", "170", "JT4G"},
    {"10", "20", "432.1", "9", "800", "425", "JT65C"},
    {"25", "4", "28.25", "1", "0", "85", "JT4A"},
    {"100", "1", "10.1387", "1", "1500", "170", "JT44"},
    {"15", "19", "1296.5", "24", "700", "170", "JT4D"},
    {"10", "5", "0", "1", "1500", "170", "JT65B"},
    {"30", "6", "70.0912", "2", "1500", "170", "no mode"},
}};

class RunWordsTest : public ::testing::TestWithParam<PlanFields> {
protected:
    std::optional<RunFailure> run(const PlanFields& p) {
        return testing::runPlan(p, words, &listing);
    }
    RunWords words;
    std::string listing;
};

TEST_P(RunWordsTest, AreTheListingsWordsInOrder) {
    const PlanFields& p = GetParam();
    ASSERT_FALSE(run(p).has_value());
    const double clock = std::atof(p.refIn) * std::atof(p.pll) * 1e6;
    EXPECT_EQ(words.clockHz, clock);

    std::vector<const RunWord*> all;
    for (const RunWord& w : words.tones) all.push_back(&w);
    for (const RunWord& w : words.intervals) all.push_back(&w);
    std::size_t i = 0;
    for (std::size_t at = listing.find("\r\n0x"); at != std::string::npos;
         at = listing.find("\r\n0x", at + 1), ++i) {
        const std::size_t end = listing.find(" ; ", at);
        const auto bytes = numbers::parseWordBytes(listing.substr(at + 2, end - at - 2));
        ASSERT_LT(i, all.size());
        const RunWord& w = *all[i];
        const bool tone = i < words.tones.size();
        EXPECT_EQ(bytes->bytes, tone ? 6 : 4) << w.id;
        EXPECT_EQ(tone ? w.ftw : (w.ftw & 0xFFFFFFFF), bytes->value) << w.id;
        // The listing rounds in double arithmetic: never more than a step from the exact word of
        // the requested frequency (a wrong frequency would be many steps away).
        if (const auto exact = numbers::frequencyWord(w.requestedHz, clock, 48)) {
            EXPECT_LE(w.ftw > *exact ? w.ftw - *exact : *exact - w.ftw, 1u) << w.id;
        }
    }
    EXPECT_EQ(i, all.size());
    char tail[96];
    std::snprintf(tail, sizeof tail,
                  "0x10,0x%02X,0x00,0x60 (OSK On)\r\nPHASE180  Constant  0x%02X,0x%02X\r\n",
                  words.controlByte.value_or(-1), words.phaseConstant >> 8,
                  words.phaseConstant & 0xFF);
    EXPECT_EQ(listing.substr(listing.size() - std::strlen(tail)), tail);
}

INSTANTIATE_TEST_SUITE_P(Plans, RunWordsTest, ::testing::ValuesIn(kPlans));

TEST_F(RunWordsTest, AFailedRunLeavesTheWordsOfTheLastCompletedOne) {
    ASSERT_FALSE(run(kPlans[0]).has_value());
    PlanFields broken = kPlans[1];
    broken.rfMult = "0";
    ASSERT_TRUE(run(broken).has_value());
    EXPECT_EQ(words.plan.mode, "JT65B");
    EXPECT_EQ(words.tones.size(), 10u);
    EXPECT_EQ(words.tones[1].name, "FSK441 Tone 1");
}

}  // namespace
}  // namespace meridel::run
