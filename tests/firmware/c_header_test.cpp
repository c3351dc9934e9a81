// A run's words for every chip, checked against an independent 128-bit rounding, and the C
// header written from them: words, control register, phase constant and message tables.
#include "firmware/c_header.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "support/recording_form.h"

namespace meridel::firmware {
namespace {

__extension__ typedef unsigned __int128 Wide;

// round(hz x 2^bits / clock), ties up, from the doubles' exact binary values in 128 bits.
std::uint64_t exactWord(double hz, double clock, int bits) {
    int eh = 0;
    int ec = 0;
    const Wide mh = static_cast<Wide>(std::ldexp(std::frexp(hz, &eh), 53));
    const Wide mc = static_cast<Wide>(std::ldexp(std::frexp(clock, &ec), 53));
    const int shift = eh - ec + bits;
    if (shift < -60) return 0;
    const Wide num = shift >= 0 ? mh << shift : mh;
    const Wide den = shift >= 0 ? mc : mc << -shift;
    return static_cast<std::uint64_t>((2 * num + den) / (2 * den));
}

struct Plan {
    const char *chip, *clockMHz, *output, *rfMult, *mode;
};

// A run with the chip's clock as the reference and the PLL bypassed, as meridel-cli does.
run::RunWords runWords(const Plan& plan) {
    model::MainWindowModel form;
    testing::loadFirstStart(form);
    form.setFieldText(run::Field::RefIn, plan.clockMHz);
    form.selectPllText("1");
    form.setFieldText(run::Field::Foutput, plan.output);
    form.setFieldText(run::Field::RFMult, plan.rfMult);
    form.setFieldText(run::Field::ToneFreq, "1500");
    form.setFieldText(run::Field::FileName, "");
    form.typeModeText(plan.mode);
    testing::MemoryOpener opener;
    run::RunWords words;
    EXPECT_FALSE(form.calculate(opener, words).has_value()) << plan.output;
    return words;
}

constexpr std::array<Plan, 9> kPlans = {{
    {"AD9850", "125", "10.1387", "1", "JT65A"},
    {"AD9851", "180", "14.0956", "1", "JT65B"},
    {"AD9851", "30", "7.0386", "1", "JT4A"},
    {"AD9910", "122.88", "41", "1", "JT65C"},
    {"AD9910", "1000", "144.49", "3", "JT4G"},
    {"AD9912", "1000", "432.1", "9", "JT65B"},
    {"AD9912", "666.666", "50.29", "1", "JT4C"},
    {"AD9833", "25", "1.8366", "1", "JT65A"},
    {"AD9833", "24", "0.4742", "1", "JT4B"},
}};

TEST(ChipWords, EveryChipsWordIsTheExactRoundingOfItsFrequency) {
    for (const Plan& plan : kPlans) {
        const dds::Chip& chip = *dds::findChip(plan.chip);
        const ChipWords words = chipWords(runWords(plan), chip);
        EXPECT_EQ(words.clockHz, std::atof(plan.clockMHz) * 1e6);
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

TEST(ChipWords, TheAd9852AndAd9854KeepTheListingsWords) {
    const run::RunWords run = runWords({"AD9852", "200", "50", "1", "JT65B"});
    for (const char* name : {"AD9852", "AD9854"}) {
        const ChipWords words = chipWords(run, *dds::findChip(name));
        ASSERT_EQ(words.tones.size(), run.tones.size());
        for (std::size_t i = 0; i < run.tones.size(); ++i) {
            EXPECT_EQ(words.tones[i].ftw, run.tones[i].ftw) << name;
        }
        EXPECT_EQ(words.intervals.back().ftw, run.intervals.back().ftw);
        EXPECT_EQ(words.phaseConstant, 0x2000u);
        EXPECT_EQ(words.controlByte, 0x64);  // PLL bypassed
    }
}

TEST(ChipWords, PhaseConstantInTheChipsWidth) {
    struct Row {
        const char *chip, *rfMult;
        std::uint64_t phase;
    };
    constexpr std::array<Row, 5> kRows = {{
        {"AD9850", "1", 16},      // 5 bits: 16 x 11.25 degrees
        {"AD9910", "1", 0x8000},  // 16 bits
        {"AD9833", "3", 683},     // 2048 / 3 rounded
        {"AD9912", "2", 4096},
        {"AD9852", "3", 2731},  // the listing's 8192 / 3
    }};
    for (const Row& row : kRows) {
        const ChipWords words = chipWords(runWords({row.chip, "20", "1", row.rfMult, "JT65A"}),
                                          *dds::findChip(row.chip));
        EXPECT_EQ(words.phaseConstant, row.phase) << row.chip;
    }
}

TEST(ChipWords, AFrequencyTheChipCannotMakeIsAnError) {
    // A carrier of 0 puts the WSPR base below 0 Hz; 30 MHz is above a 25 MHz clock.
    const run::RunWords below = runWords({"AD9851", "180", "0", "1", "JT65A"});
    EXPECT_THROW(chipWords(below, *dds::findChip("AD9851")), FirmwareError);
    EXPECT_NO_THROW(chipWords(below, *dds::findChip("AD9852")));  // the listing wraps it
    const run::RunWords above = runWords({"AD9833", "25", "30", "1", "JT65A"});
    try {
        chipWords(above, *dds::findChip("AD9833"));
        FAIL() << "no error";
    } catch (const FirmwareError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("the FSK441 Tone 0 word (30000882 Hz) cannot", 0),
                  0u)
            << error.what();
    }
}

class Header : public ::testing::Test {
protected:
    const run::RunWords run = runWords({"AD9852", "200", "50", "1", "JT65B"});
    const ChipWords words = chipWords(run, dds::defaultChip());
    MessageTable wspr{"wspr",           "WSPR",     "K1ABC FN42 37", {3, 1, 0, 2, 255},
                      8192.0 / 12000.0, "WSPR Base"};
};

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

TEST_F(Header, HoldsEveryWordAsBytesAndConstant) {
    const std::string h = cHeader(words);
    EXPECT_EQ(count(h, "#ifndef MERIDEL_DDS_WORDS_H\n#define MERIDEL_DDS_WORDS_H\n"), 1u);
    EXPECT_EQ(h.substr(h.size() - 33), "#endif /* MERIDEL_DDS_WORDS_H */\n");
    EXPECT_NE(h.find("#if defined(__AVR__)\n#include <avr/pgmspace.h>\n#else\n#ifndef PROGMEM\n"
                     "#define PROGMEM\n"),
              std::string::npos);
    EXPECT_NE(h.find("#define DDS_SSB_CARRIER_FTW 0x400000000000ULL\n"
                     "static const uint8_t DDS_SSB_CARRIER_BYTES[6] PROGMEM = {0x40, 0x00, 0x00, "
                     "0x00, 0x00, 0x00};\n"),
              std::string::npos);
    EXPECT_NE(h.find("/* JT65B Interval: requested 5.38330078125 Hz, actual 5.38330056087943 Hz"),
              std::string::npos);
    EXPECT_NE(h.find("#define DDS_WSPR_INTERVAL_FTW 0x0000001F7510ULL\n"), std::string::npos);
    EXPECT_NE(h.find("DDS_CONTROL_REGISTER_BYTES[4] PROGMEM = {0x10, 0x64, 0x00, 0x60};"),
              std::string::npos);
    EXPECT_NE(h.find("#define DDS_PHASE180 0x2000U\n"), std::string::npos);
    EXPECT_EQ(count(h, "_FTW 0x"), words.tones.size() + words.intervals.size());
    EXPECT_EQ(h.find("Messages"), std::string::npos);
}

TEST_F(Header, PlanTextsCannotBreakTheComment) {
    run::RunWords hostile = run;
    hostile.plan.comment = "a */ b /* c ?\?/\n\xC3\xBC";
    const std::string h = cHeader(chipWords(hostile, dds::defaultChip()));
    EXPECT_NE(h.find(" * Plan: a * / b / * c ? ?/? ? ?\n"), std::string::npos) << h.substr(0, 400);
    EXPECT_EQ(count(h, "/*"), count(h, "*/"));
}

TEST_F(Header, MessageTablesWithCountPeriodAndBase) {
    const std::array<MessageTable, 1> tables = {wspr};
    const std::string h = cHeader(words, tables);
    EXPECT_NE(h.find("/* WSPR \"K1ABC FN42 37\": 5 symbols of .682666666666667 s"),
              std::string::npos);
    EXPECT_NE(h.find("#define DDS_MSG_WSPR_SYMBOL_COUNT 5U\n"
                     "#define DDS_MSG_WSPR_SYMBOL_PERIOD_US 682667UL\n"
                     "#define DDS_MSG_WSPR_SYMBOL_PERIOD_MS 683UL\n"
                     "#define DDS_MSG_WSPR_BASE_FTW DDS_WSPR_BASE_FTW\n"
                     "#define DDS_MSG_WSPR_BASE_BYTES DDS_WSPR_BASE_BYTES\n"
                     "static const uint8_t DDS_MSG_WSPR_SYMBOLS[5] PROGMEM = {\n"
                     "    3, 1, 0, 2, 255\n};\n"),
              std::string::npos);
}

TEST_F(Header, MessageTablesThatDoNotFitAreRefused) {
    struct Row {
        void (*spoil)(MessageTable&);
        const char* message;
    };
    const std::array<Row, 6> rows = {{
        {[](MessageTable& m) { m.key = "WSPR"; }, "lower-case letters"},
        {[](MessageTable& m) { m.key = ""; }, "lower-case letters"},
        {[](MessageTable& m) { m.symbols.clear(); }, "has no symbols"},
        {[](MessageTable& m) { m.symbol_seconds = 0; }, "positive number of seconds"},
        {[](MessageTable& m) { m.symbol_seconds = NAN; }, "positive number of seconds"},
        {[](MessageTable& m) { m.base_word = "JT4A Tone 0"; }, "use one of \"FSK441 Tone 0\""},
    }};
    for (const Row& row : rows) {
        std::array<MessageTable, 1> tables = {wspr};
        row.spoil(tables[0]);
        try {
            cHeader(words, tables);
            ADD_FAILURE() << "accepted: " << row.message;
        } catch (const FirmwareError& error) {
            EXPECT_NE(std::string(error.what()).find(row.message), std::string::npos)
                << error.what();
        }
    }
    const std::array<MessageTable, 2> twice = {wspr, wspr};
    EXPECT_THROW(cHeader(words, twice), FirmwareError);
}

}  // namespace
}  // namespace meridel::firmware
