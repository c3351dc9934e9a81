// Every tone of a message table has its own word, rounded exactly from its exact frequency,
// whatever the chip and the RF multiplier (checked over random plans against exact integer
// arithmetic, with the worst error at the antenna), and the checks fire at their thresholds.
#include "firmware/tone_words.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <random>

#include "beacon/message_plan.h"
#include "firmware/word_checks.h"
#include "support/plan_run.h"

namespace meridel::firmware {
namespace {

__extension__ typedef __int128 Wide;

std::string nameOf(const run::RunWords& words, std::string_view id) {
    for (const run::RunWord& w : words.tones) {
        if (w.id == id) return w.name;
    }
    return "";
}

// Random plans against a model of the modes made here: tone n of a table lies (a + n x s) / R
// above the carrier, a and s from the mode's definition in 1/4096 Hz; every tone's word must be
// round(f x 2^bits / clock), ties up, of that exact frequency, and the worst error the table
// states that of the exact words.
TEST(ToneWords, EveryToneOfRandomPlansIsTheExactRoundingOfItsExactFrequency) {
    struct Chip {
        const char* name;
        long long clockMHz;
    };
    constexpr std::array<Chip, 8> kChips = {{{"AD9852", 200},
                                             {"AD9852", 300},
                                             {"AD9912", 1000},
                                             {"AD9854", 180},
                                             {"AD9910", 1000},
                                             {"AD9850", 125},
                                             {"AD9851", 180},
                                             {"AD9833", 25}}};
    constexpr std::array<const char*, 10> kModes = {"JT65A", "JT65B", "JT65C", "JT4A", "JT4B",
                                                    "JT4C",  "JT4D",  "JT4E",  "JT4F", "JT4G"};
    constexpr std::array<Wide, 10> kMultiplier = {1, 2, 4, 1, 2, 4, 9, 18, 36, 72};
    constexpr std::array<int, 8> kRfMult = {1, 2, 3, 4, 9, 24, 96, 7};
    std::mt19937_64 random(24);
    int tones = 0, wrong = 0;
    std::string first;
    for (int plan = 0; plan < 500; ++plan) {
        const Chip& chip = kChips[random() % kChips.size()];
        const int mode = static_cast<int>(random() % kModes.size());
        const int rf = kRfMult[random() % kRfMult.size()];
        const Wide r = rf;
        const Wide clock = chip.clockMHz * 1000000;
        // In millihertz, so that neither the carrier nor its double is a whole number of Hz.
        const Wide carrier = clock * 50 + static_cast<Wide>(random() % (clock * 300));
        const Wide audio =
            2400 + static_cast<Wide>(random() % 20000);  // PI4 at 300 to 2800 Hz, in 1/8
        const long long output = static_cast<long long>(carrier * r);  // in mHz
        const std::string outputText = std::to_string(output / 1000000000) + "." +
                                       std::to_string(1000000000 + output % 1000000000).substr(1);
        const std::string clockText = std::to_string(chip.clockMHz), rText = std::to_string(rf);
        run::RunWords run;
        ASSERT_FALSE(testing::runPlan({clockText.c_str(), "1", outputText.c_str(), rText.c_str(),
                                       "1500", "170", kModes[static_cast<std::size_t>(mode)]},
                                      run));
        beacon::MessageInputs in;
        in.jt = "CQ K1ABC FN42";
        in.wspr = "K1ABC FN42 37";
        in.fsk441 = "K1ABC";
        in.pi4 = "K1ABC/B";
        in.pi4AudioHz = static_cast<double>(audio) / 8;
        in.cw = "K1ABC";
        in.rtty = "RYRY";
        const auto beacon =
            beacon::tieToWords(beacon::encodeMessages(in, mode < 3 ? mode : mode + 1,
                                                      kModes[static_cast<std::size_t>(mode)]),
                               in, run);
        const ChipWords words = chipWords(beacon.words, *dds::findChip(chip.name));
        const Wide m = kMultiplier[static_cast<std::size_t>(mode)];
        const bool jt65 = mode < 3;
        // Offset of tone 0 and spacing at the antenna, in 1/4096 mHz.
        const std::map<std::string, std::pair<Wide, Wide>> model = {
            {"wspr", {-9000, 6000}},
            {"fsk441", {882 * 4096, 441 * 4096}},
            {"pi4", {audio * 512 - 480000, 960000}},
            {"jt", {jt65 ? 5203800 : 5203800 - 26880 * m, jt65 ? 11025 * m : 17920 * m}},
            {"cw", {1500 * 4096, 0}},
            {"rtty", {1275 * 4096, 170 * 4096}}};  // space, then mark
        constexpr Wide kMilli = 1000;
        for (const MessageTable& table : beacon.tables) {
            const auto [a, s] = model.at(table.key);
            const TableTones tt = tableTones(table, words);
            const int bits = words.chip->wordBits;
            Wide worst = 0;  // at the antenna, in 2^-bits / 4096 mHz
            for (const ToneWord& t : tt.tones) {
                const Wide num = (carrier * r * 4096 + kMilli * (a + t.tone * s)) << bits;
                const Wide den = r * 4096 * clock * kMilli;
                const auto exact = static_cast<std::uint64_t>((2 * num + den) / (2 * den));
                const Wide error = static_cast<Wide>(exact) * clock * r * 4096 * kMilli - num;
                if ((error < 0 ? -error : error) > (worst < 0 ? -worst : worst)) worst = error;
                ++tones;
                if (t.ftw != exact && wrong++ == 0) {
                    first = std::string(chip.name) + " " + outputText + " MHz x" + rText + " " +
                            kModes[static_cast<std::size_t>(mode)] + " " + table.key + " tone " +
                            std::to_string(t.tone);
                }
            }
            const std::string where = std::string(chip.name) + " " + outputText + " " + table.key;
            EXPECT_NEAR(tt.worstErrorHz, std::ldexp(static_cast<double>(worst), -bits) / 4096e3,
                        1e-9 * rf)
                << where;
            // One tone per symbol value (CW keys one, RTTY shifts between two), s apart.
            const std::size_t count = table.key == "cw"     ? 1
                                      : table.key == "rtty" ? 2
                                                            : std::ranges::max(table.symbols) + 1u;
            EXPECT_EQ(tt.tones.size(), count) << where;
            if (count > 1) {
                EXPECT_NEAR(tt.spacingHz, static_cast<double>(s) / 4096, 1e-6) << where;
            }
            // A table is warned of, or refused, exactly as far as its worst tone is off.
            const WordChecks checks = checkWords(words, {&table, 1});
            const auto mentions = [&](const std::vector<std::string>& list) {
                return std::ranges::any_of(list, [&](const std::string& text) {
                    return text.find("\"" + table.key + "\": tone") != std::string::npos;
                });
            };
            const StepVerdict verdict = toneVerdict(tt.worstFraction(), kOwnWordWarnFraction);
            EXPECT_EQ(mentions(checks.warnings), verdict == StepVerdict::Warn) << where;
            EXPECT_EQ(mentions(checks.refusals), verdict == StepVerdict::Refuse) << where;
        }
    }
    EXPECT_EQ(wrong, 0) << wrong << " of " << tones << " tone words are off, first " << first;
    EXPECT_GT(tones, 10000);
}

// Half a step of a 180 MHz AD9851 is 0.014 of WSPR's spacing: the chip at its best, which the
// window marks for the eye but no check warns of, on any band.
TEST(ToneWords, A180MHzAd9851WarnsOfNoWsprOwnWord) {
    int marked = 0;
    for (const char* dial : {"1.8366", "3.5686", "7.0386", "10.1387", "14.0956", "18.1046",
                             "21.0946", "24.9246", "28.1246", "50.293"}) {
        run::RunWords run;
        ASSERT_FALSE(testing::runPlan({"180", "1", dial, "1", "1500", "170", "JT65A"}, run));
        const ChipWords words = chipWords(run, *dds::findChip("AD9851"), 6);
        const MessageTable wspr{"wspr", "WSPR", "", {3, 0}, 1, nameOf(run, "WSPR_BASE")};
        marked += tableTones(wspr, words).worstFraction() > kToneWarnFraction;
        for (const std::string& w : checkWords(words, {&wspr, 1}).warnings) {
            EXPECT_EQ(w.find("\"wspr\": tone"), std::string::npos) << dial << ": " << w;
        }
    }
    EXPECT_GT(marked, 0);
}

TEST(ToneWords, VerdictsAtTheirThresholds) {
    using V = StepVerdict;
    const double own = kOwnWordWarnFraction;
    const std::array<std::tuple<double, double, V>, 9> edges = {{{0, 0.01, V::Fine},
                                                                 {0.01, 0.01, V::Fine},
                                                                 {0.010001, 0.01, V::Warn},
                                                                 {0.25, 0.01, V::Warn},
                                                                 {0.250001, 0.01, V::Refuse},
                                                                 {NAN, 0.01, V::Refuse},
                                                                 {0.1, own, V::Fine},
                                                                 {0.100001, own, V::Warn},
                                                                 {0.250001, own, V::Refuse}}};
    for (const auto& [fraction, warn, verdict] : edges) {
        EXPECT_EQ(toneVerdict(fraction, warn), verdict) << fraction;
    }
}

}  // namespace
}  // namespace meridel::firmware
