// A run's words for every chip, checked against an independent 128-bit rounding, and the C
// header written from them: words, control register, phase constant and message tables.
#include "firmware/c_header.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "support/plan_run.h"

namespace meridel::firmware {
namespace {

using testing::exactWord;

struct Plan {
    const char *chip, *clockMHz, *output, *rfMult, *mode;
    std::uint64_t phase;  // half a turn of the chip's phase word / RF Mult
};

// A run with the chip's clock as the reference and the PLL bypassed, as meridel-cli does.
run::RunWords runWords(const Plan& p) {
    run::RunWords words;
    EXPECT_FALSE(
        testing::runPlan({p.clockMHz, "1", p.output, p.rfMult, "1500", "170", p.mode}, words)
            .has_value())
        << p.output;
    return words;
}

// The phase is in the chip's width: the AD9850's 5 bits make 16 x 11.25 degrees half a turn.
constexpr std::array<Plan, 9> kPlans = {{
    {"AD9850", "125", "10.1387", "1", "JT65A", 16},
    {"AD9851", "180", "14.0956", "1", "JT65B", 16},
    {"AD9851", "30", "7.0386", "2", "JT4A", 8},
    {"AD9910", "122.88", "41", "1", "JT65C", 0x8000},
    {"AD9910", "1000", "144.49", "3", "JT4G", 10923},
    {"AD9912", "1000", "432.1", "9", "JT65B", 910},
    {"AD9912", "666.666", "50.29", "1", "JT4C", 8192},
    {"AD9833", "25", "1.8366", "1", "JT65A", 2048},
    {"AD9833", "24", "0.4742", "3", "JT4B", 683},
}};

TEST(ChipWords, EveryChipsWordIsTheExactRoundingOfItsFrequency) {
    for (const Plan& plan : kPlans) {
        const dds::Chip& chip = *dds::findChip(plan.chip);
        const ChipWords words = chipWords(runWords(plan), chip);
        EXPECT_EQ(words.clockHz, std::atof(plan.clockMHz) * 1e6);
        EXPECT_EQ(words.phaseConstant, plan.phase) << plan.chip;
        ASSERT_FALSE(words.tones.empty());
        for (const auto* list : {&words.tones, &words.intervals}) {
            for (const ChipWord& w : *list) {
                EXPECT_EQ(w.ftw, exactWord(w.requestedHz, words.clockHz, chip.wordBits))
                    << plan.chip << " " << w.name;
                EXPECT_LE(std::fabs(w.actualHz - w.requestedHz),
                          std::ldexp(words.clockHz, -chip.wordBits - 1) * (1 + 1e-9))
                    << plan.chip << " " << w.name;
            }
        }
    }
}

class Header : public ::testing::Test {
protected:
    const ChipWords words =
        chipWords(runWords({"AD9852", "200", "50", "1", "JT65B", 0}), dds::defaultChip());
    MessageTable wspr{"wspr",           "WSPR",     "K1ABC FN42 37", {3, 1, 0, 2, 255},
                      8192.0 / 12000.0, "WSPR Base"};
};

// The words themselves are compiled and read back against the listing by
// header_compile_test.sh.
TEST_F(Header, OneGuardAndMessageTablesWithCountPeriodAndBase) {
    EXPECT_EQ(cHeader(words).find("Messages"), std::string::npos);
    const std::string h = cHeader(words, {&wspr, 1});
    EXPECT_EQ(h.find("#ifndef MERIDEL_DDS_WORDS_H\n#define MERIDEL_DDS_WORDS_H\n"),
              h.rfind("#ifndef MERIDEL"));
    EXPECT_EQ(h.substr(h.size() - 33), "#endif /* MERIDEL_DDS_WORDS_H */\n");
    EXPECT_NE(h.find("/* JT65B Interval: requested 5.38330078125 Hz, actual 5.38330056087943 Hz, "
                     "error -2.20370566239581E-07 Hz */\n"),
              std::string::npos);
    EXPECT_NE(h.find("/* WSPR \"K1ABC FN42 37\": 5 symbols of 0.682666666666667 s"),
              std::string::npos);
    EXPECT_NE(h.find("#define DDS_MSG_WSPR_SYMBOL_COUNT 5U\n"
                     "#define DDS_MSG_WSPR_SYMBOL_PERIOD_US 682667UL\n"
                     "#define DDS_MSG_WSPR_SYMBOL_PERIOD_MS 683UL\n"
                     "#define DDS_MSG_WSPR_BASE_FTW DDS_WSPR_BASE_FTW\n"
                     "#define DDS_MSG_WSPR_BASE_BYTES DDS_WSPR_BASE_BYTES\n"
                     "static const uint8_t DDS_MSG_WSPR_SYMBOLS[5] PROGMEM = {\n"
                     "    3, 1, 0, 2, 255\n};\n"),
              std::string::npos);

    std::array<std::pair<MessageTable, const char*>, 6> spoilt;
    spoilt.fill({wspr, "lower-case letters"});
    spoilt[0].first.key = "WSPR";
    spoilt[1].first.key = "";
    spoilt[2] = {{"k", "", "", {}, 1, "WSPR Base"}, "has no symbols"};
    spoilt[3] = {{"k", "", "", {1}, 0, "WSPR Base"}, "positive number of seconds"};
    spoilt[4] = {{"k", "", "", {1}, NAN, "WSPR Base"}, "positive number of seconds"};
    spoilt[5] = {{"k", "", "", {1}, 1, "JT4A Tone 0"}, "use one of \"FSK441 Tone 0\""};
    for (const auto& [table, message] : spoilt) {
        try {
            cHeader(words, {&table, 1});
            ADD_FAILURE() << "accepted: " << message;
        } catch (const FirmwareError& error) {
            EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
        }
    }
    const std::array<MessageTable, 2> twice = {wspr, wspr};
    EXPECT_THROW(cHeader(words, twice), FirmwareError);
}

TEST(HeaderSize, WarnsAboveOneMebibyte) {
    EXPECT_EQ(headerSizeWarning(1048576), "");
    EXPECT_NE(headerSizeWarning(1048577).find("1048577 bytes, more than 1048576"), std::string::npos);
}

}  // namespace
}  // namespace meridel::firmware
