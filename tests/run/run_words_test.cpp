// The run's word list against the listing it wrote: every six-byte line is a tone word and every
// four-byte line an interval word, in order, with the same bytes; the requested frequencies are
// the plan's own tones; the control and phase bytes are the listing's.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>

#include "numbers/tuning_word.h"
#include "run/calculation_run.h"
#include "support/recording_form.h"

namespace meridel::run {
namespace {

struct WordPlan {
    const char *refIn, *pll, *output, *rfMult, *tone, *shift, *mode;
};

// Plans whose carriers read back from their texts exactly, in both JT families, with RF
// multipliers, the PLL bypassed, a clock low enough to cut the sync offset to four bytes, and a
// carrier at 0 that wraps the WSPR base below zero.
constexpr std::array<WordPlan, 9> kPlans = {{
    {"20", "10", "50", "1", "1500", "850", "JT65B"},
    {"12.8", "16", "144.49", "3", "1000", "170", "JT4G"},
    {"10", "20", "432.1", "9", "800", "425", "JT65C"},
    {"25", "4", "28.25", "1", "0", "85", "JT4A"},
    {"100", "1", "10.1387", "1", "1500", "170", "JT44"},
    {"20", "4", "14.0956", "1", "2000", "850", "JT65A"},
    {"15", "19", "1296.5", "24", "700", "170", "JT4D"},
    {"10", "5", "0", "1", "1500", "170", "JT65B"},
    {"30", "6", "70.0912", "2", "1500", "170", "no mode"},
}};

class RunWordsTest : public ::testing::TestWithParam<WordPlan> {
protected:
    RunWordsTest() : form(log) { testing::loadFirstStart(form); }

    std::optional<RunFailure> run(const WordPlan& p) {
        form.setFieldText(Field::RefIn, p.refIn);
        form.selectPllText(p.pll);
        form.setFieldText(Field::Foutput, p.output);
        form.setFieldText(Field::RFMult, p.rfMult);
        form.setFieldText(Field::ToneFreq, p.tone);
        form.typeRttyShiftText(p.shift);
        form.setFieldText(Field::FileName, "");
        form.typeModeText(p.mode);
        return form.calculate(opener, words);
    }

    testing::EffectLog log;
    testing::RecordingForm form;
    testing::MemoryOpener opener;
    RunWords words;
};

// The listing's word lines: the bytes before " ; " and the label after it.
std::vector<std::pair<numbers::WordBytes, std::string>> wordLines(const std::string& listing) {
    std::vector<std::pair<numbers::WordBytes, std::string>> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = listing.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        const std::string line = listing.substr(start, end - start);
        const std::size_t at = line.find(" ; ");
        if (at == std::string::npos) continue;
        if (const auto word = numbers::parseWordBytes(line.substr(0, at))) {
            lines.emplace_back(*word, line.substr(at + 3));
        }
    }
    return lines;
}

// What each word stands for at the beacon's RF output, in hertz above the carrier (tones) or
// as a step (intervals).
double offsetOf(const std::string& id, const WordPlan& p, int jt65Mult, int jt4Mult) {
    const double sync = 11025.0 / 1024.0 * 118.0;
    const std::map<std::string, double> offsets = {
        {"FSK441_TONE_0", 882},
        {"FSK441_TONE_1", 1323},
        {"FSK441_TONE_2", 1764},
        {"FSK441_TONE_3", 2205},
        {"SSB_CARRIER", 0},
        {"JT_SYNC", sync},
        {"SINGLE_TONE", std::atof(p.tone)},
        {"RTTY_MARK", 1275 + std::atof(p.shift)},
        {"RTTY_SPACE", 1275},
        {"WSPR_BASE", -18000.0 / 8192.0},
        {"JT4_TONE_0", sync - 1.5 * 11025.0 / 2520.0 * jt4Mult},
        {"FSK441_INTERVAL", 441},
        {"JT_SYNC_OFFSET", sync},
        {"JT65_INTERVAL", 11025.0 / 4096.0 * jt65Mult},
        {"WSPR_INTERVAL", 12000.0 / 8192.0},
        {"JT4_INTERVAL", 11025.0 / 2520.0 * jt4Mult},
    };
    return offsets.at(id);
}

TEST_P(RunWordsTest, AreTheListingsWordsInOrder) {
    const WordPlan& p = GetParam();
    ASSERT_FALSE(run(p).has_value());
    const auto lines = wordLines(opener.received);
    ASSERT_EQ(lines.size(), words.tones.size() + words.intervals.size());

    const std::string mode = p.mode;
    const bool jt4 = mode.rfind("JT4", 0) == 0 && mode != "JT44";
    const int jt65Mult = mode == "JT65B" ? 2 : (mode == "JT65C" || mode == "JT44") ? 4 : 1;
    const std::map<char, int> jt4Mults = {{'A', 1},  {'B', 2},  {'C', 4}, {'D', 9},
                                          {'E', 18}, {'F', 36}, {'G', 72}};
    const int jt4Mult = jt4 ? jt4Mults.at(mode.back()) : (jt65Mult == 1 ? 1 : 0);
    const double r = std::atof(p.rfMult);
    const double clock = std::atof(p.refIn) * std::atof(p.pll) * 1e6;
    const double carrier = std::atof(p.output) * 1e6 / r;
    EXPECT_EQ(words.clockHz, clock);

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool tone = i < words.tones.size();
        const RunWord& w = tone ? words.tones[i] : words.intervals[i - words.tones.size()];
        const auto& [bytes, label] = lines[i];
        EXPECT_EQ(bytes.bytes, tone ? 6 : 4) << w.id;
        EXPECT_EQ(tone ? w.ftw : (w.ftw & 0xFFFFFFFF), bytes.value) << w.id;
        std::string unspaced = label;
        std::erase(unspaced, ' ');
        std::string name = w.name;
        std::erase(name, ' ');
        EXPECT_EQ(name, unspaced) << w.name;

        const double requested = (tone ? carrier : 0) + offsetOf(w.id, p, jt65Mult, jt4Mult) / r;
        EXPECT_NEAR(w.requestedHz, requested, 1e-6) << w.id;
        // The listing rounds in double arithmetic: never more than a step from the exact word.
        if (w.requestedHz >= 0) {
            const auto exact = numbers::frequencyWord(w.requestedHz, clock, 48);
            ASSERT_TRUE(exact.has_value()) << w.id;
            EXPECT_LE(w.ftw > *exact ? w.ftw - *exact : *exact - w.ftw, 1u) << w.id;
        }
    }
    EXPECT_EQ(words.intervals.back().id, jt4 ? "JT4_INTERVAL" : "WSPR_INTERVAL");

    char control[64];
    std::snprintf(control, sizeof control, "AD9852 Control reg  0x10,0x%02X,0x00,0x60",
                  words.controlByte.value_or(-1));
    EXPECT_NE(opener.received.find(control), std::string::npos) << control;
    char phase[64];
    std::snprintf(phase, sizeof phase, "PHASE180  Constant  0x%02X,0x%02X\r\n",
                  words.phaseConstant >> 8, words.phaseConstant & 0xFF);
    EXPECT_NE(opener.received.find(phase), std::string::npos) << phase;
    EXPECT_EQ(words.plan.mode, p.mode);
    EXPECT_EQ(words.plan.refIn, p.refIn);
}

INSTANTIATE_TEST_SUITE_P(Plans, RunWordsTest, ::testing::ValuesIn(kPlans));

TEST_F(RunWordsTest, NamesAreTheListingLabels) {
    ASSERT_FALSE(run(kPlans[0]).has_value());
    std::vector<std::string> names;
    for (const RunWord& w : words.tones) names.push_back(w.name);
    for (const RunWord& w : words.intervals) names.push_back(w.name);
    const std::vector<std::string> expected = {
        "FSK441 Tone 0",     "FSK441 Tone 1",     "FSK441 Tone 2",   "FSK441 Tone 3",
        "SSB Carrier",       "JT Sync 1270.46Hz", "1500Hz Tone",     "RTTY Mark 2125Hz",
        "RTTY Space 1275Hz", "WSPR Base",         "FSK441 Interval", "JT Sync offset",
        "JT65B Interval",    "WSPR Interval"};
    EXPECT_EQ(names, expected);
}

TEST_F(RunWordsTest, AFailedRunLeavesTheWordsOfTheLastCompletedOne) {
    ASSERT_FALSE(run(kPlans[0]).has_value());
    const RunWords before = words;
    WordPlan broken = kPlans[1];
    broken.rfMult = "0";
    ASSERT_TRUE(run(broken).has_value());
    EXPECT_EQ(words.tones.size(), before.tones.size());
    EXPECT_EQ(words.tones[0].ftw, before.tones[0].ftw);
    EXPECT_EQ(words.plan.mode, "JT65B");
    broken = kPlans[0];
    broken.pll = "";  // selects nothing: a zero clock
    ASSERT_TRUE(run(broken).has_value());
    EXPECT_EQ(words.clockHz, 200e6);
}

}  // namespace
}  // namespace meridel::run
