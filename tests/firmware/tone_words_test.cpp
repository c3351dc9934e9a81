// Every tone of a message table has its own exactly rounded word, whatever the chip and the RF
// multiplier; the worst error at the antenna is checked against exact integer arithmetic, and
// the checks fire at their thresholds.
#include "firmware/tone_words.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "firmware/word_checks.h"
#include "support/plan_run.h"

namespace meridel::firmware {
namespace {

__extension__ typedef __int128 Wide;

// (ftw x clock / 2^bits - hz) x 2^64, exactly, for a whole clock in Hz.
Wide scaledError(std::uint64_t ftw, double clock, int bits, double hz) {
    int e = 0;
    const Wide m = static_cast<Wide>(std::ldexp(std::frexp(hz, &e), 53));
    const Wide requested = e + 11 >= 0 ? m << (e + 11) : m >> -(e + 11);
    return (static_cast<Wide>(ftw) * static_cast<Wide>(clock) << (64 - bits)) - requested;
}

struct Plan {
    const char *chip, *clockMHz, *output, *rfMult, *mode;
};
constexpr std::array<Plan, 10> kPlans = {{
    {"AD9850", "125", "10.1387", "1", "JT65A"},
    {"AD9851", "180", "14.0956", "1", "JT65B"},
    {"AD9851", "180", "48.163", "3", "JT4G"},
    {"AD9833", "25", "1.8366", "1", "JT65A"},
    {"AD9833", "25", "0.4742", "3", "JT4B"},
    {"AD9910", "1000", "144.49", "3", "JT65C"},
    {"AD9910", "1000", "10368.1", "96", "JT4G"},
    {"AD9912", "1000", "3400.1", "24", "JT65B"},
    {"AD9912", "1000", "10368.2", "96", "JT65C"},
    {"AD9852", "200", "1296.5", "24", "JT65B"},
}};

std::string nameOf(const run::RunWords& words, std::string_view id) {
    for (const run::RunWord& w : words.tones) {
        if (w.id == id) return w.name;
    }
    return "";
}

TEST(ToneWords, EachToneIsItsOwnExactRoundingAndTheChecksFollowTheExactWorstError) {
    for (const Plan& p : kPlans) {
        run::RunWords run;
        ASSERT_FALSE(
            testing::runPlan({p.clockMHz, "1", p.output, p.rfMult, "1500", "170", p.mode}, run));
        const ChipWords words = chipWords(run, *dds::findChip(p.chip));
        const int bits = words.chip->wordBits;
        const double r = std::atof(p.rfMult);
        const bool jt65 = std::string_view(p.mode).substr(0, 4) == "JT65";
        // A table of each kind, the first symbol its top tone; CW and RTTY are keyed.
        const std::array<std::pair<MessageTable, double>, 5> tables = {{
            {{"wspr", "", "", {3, 0}, 1, nameOf(run, "WSPR_BASE")}, 12000.0 / 8192},
            {{"jt",
              p.mode,
              "",
              {std::uint8_t(jt65 ? 65 : 3)},
              1,
              nameOf(run, jt65 ? "JT_SYNC" : "JT4_TONE_0")},
             0},
            {{"fsk441", "", "", {3, 1}, 1, nameOf(run, "FSK441_TONE_0")}, 11025.0 / 25},
            {{"rtty", "", "", {1}, 1, nameOf(run, "RTTY_SPACE")}, 170},
            {{"cw", "", "", {1, 0}, 1, nameOf(run, "SINGLE_TONE")}, 0},
        }};
        for (const auto& [table, spacing] : tables) {
            const std::string where = std::string(p.chip) + " x" + p.rfMult + " " + table.key;
            const TableTones t = tableTones(table, words);
            const std::size_t count = table.key == "cw"     ? 1
                                      : table.key == "rtty" ? 2
                                                            : table.symbols[0] + 1u;
            ASSERT_EQ(t.tones.size(), count) << where;
            if (spacing > 0) {
                EXPECT_NEAR(t.spacingHz, spacing, 1e-6) << where;
            }
            Wide worst = 0;
            int worstTone = 0;
            for (const ToneWord& w : t.tones) {
                EXPECT_EQ(w.ftw, testing::exactWord(w.requestedHz, words.clockHz, bits)) << where;
                EXPECT_NEAR((w.requestedHz - t.tones[0].requestedHz) * r, w.tone * t.spacingHz,
                            1e-6 * r)
                    << where;
                const Wide e = scaledError(w.ftw, words.clockHz, bits, w.requestedHz);
                if ((e < 0 ? -e : e) > (worst < 0 ? -worst : worst)) worst = e, worstTone = w.tone;
            }
            EXPECT_EQ(t.worstTone, worstTone) << where;
            EXPECT_NEAR(t.worstErrorHz, std::ldexp(static_cast<double>(worst), -64) * r, 1e-8 * r)
                << where;

            const WordChecks checks = checkWords(words, {&table, 1});
            const std::string quotedKey = std::string("\"").append(table.key).append("\": tone");
            const auto mentions = [&](const std::vector<std::string>& list) {
                return std::any_of(list.begin(), list.end(), [&](const std::string& text) {
                    return text.find(quotedKey) != std::string::npos;
                });
            };
            const StepVerdict verdict = toneVerdict(t.worstFraction());
            EXPECT_EQ(mentions(checks.warnings), verdict == StepVerdict::Warn) << where;
            EXPECT_EQ(mentions(checks.refusals), verdict == StepVerdict::Refuse) << where;
        }
    }
}

TEST(ToneWords, ChecksWarnAboveAHundredthAndRefuseAboveAQuarterOfTheSpacing) {
    const std::array<std::pair<double, StepVerdict>, 6> edges = {{{0, StepVerdict::Fine},
                                                                  {0.01, StepVerdict::Fine},
                                                                  {0.010001, StepVerdict::Warn},
                                                                  {0.25, StepVerdict::Warn},
                                                                  {0.250001, StepVerdict::Refuse},
                                                                  {NAN, StepVerdict::Refuse}}};
    for (const auto& [fraction, verdict] : edges) EXPECT_EQ(toneVerdict(fraction), verdict);
}

}  // namespace
}  // namespace meridel::firmware
