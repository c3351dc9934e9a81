// Whole calculation runs through the window model: the listing byte for byte, the numbers in it,
// the warnings, the after-run state, and what each kind of failure leaves behind.
#include "run/calculation_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/recording_form.h"

namespace meridel::run {
namespace {

using model::MainWindowModel;
using testing::EffectLog;
using testing::MemoryOpener;
using testing::RecordingForm;

const std::string kCrLf = "\r\n";

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(kCrLf, start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? kCrLf : "") + lines[i];
    return text;
}

struct Plan {
    std::string refIn = "20", pll = "10", foutput = "50", rfMult = "1", tone = "1500",
                shift = "850", comment = "Test", mode = "JT65B";
};

class RunTest : public ::testing::Test {
protected:
    RunTest() : form(log) { testing::loadFirstStart(form); }

    void enter(const Plan& plan) {
        form.setFieldText(Field::RefIn, plan.refIn);
        form.selectPllText(plan.pll);
        form.setFieldText(Field::Foutput, plan.foutput);
        form.setFieldText(Field::RFMult, plan.rfMult);
        form.setFieldText(Field::ToneFreq, plan.tone);
        form.typeRttyShiftText(plan.shift);
        form.setFieldText(Field::Comment, plan.comment);
        form.setFieldText(Field::FileName, "");
        form.typeModeText(plan.mode);
    }

    std::optional<RunFailure> run(const Plan& plan) {
        enter(plan);
        return run();
    }
    std::optional<RunFailure> run() {
        opener = MemoryOpener(&log);
        return form.calculate(opener);
    }
    std::vector<std::string> resultLines() const { return splitLines(form.results().text); }
    std::string resultLine(std::string_view containing) const {
        for (const std::string& line : resultLines()) {
            if (line.find(containing) != std::string::npos) return line;
        }
        return "(no line with " + std::string(containing) + ")";
    }

    EffectLog log;
    RecordingForm form;
    MemoryOpener opener;
};

// --- the reference listing and its JT4 variants -------------------------------------------

TEST_F(RunTest, Jt65bListingMatchesTheGoldenFileByteForByte) {
    const std::string golden = testing::readBytes(MERIDEL_TEST_DATA "/jt65b_200mhz.lst");
    ASSERT_FALSE(golden.empty());
    ASSERT_FALSE(run(Plan{}).has_value());

    EXPECT_EQ(opener.received, golden);
    EXPECT_TRUE(opener.closed);
    // The results text is the listing without its seven header lines and final CR LF.
    std::vector<std::string> lines = splitLines(golden.substr(0, golden.size() - 2));
    lines.erase(lines.begin(), lines.begin() + 7);
    EXPECT_EQ(form.results().text, joinLines(lines));
    EXPECT_EQ(form.fieldText(Field::KeyFreq), "50.0015");
    EXPECT_EQ(form.fieldText(Field::Fo), " 50");
    EXPECT_EQ(form.fieldText(Field::ClockFreq), " 200");
    EXPECT_FALSE(form.warningVisible());
}

// The JT4 modes drop the sync line, the sync offset and the JT65 interval, add the tone-0 line
// after the WSPR base and print their interval instead of "--".
std::string jt4Variant(const std::string& jt65b, const std::string& toneZero,
                       const std::string& interval) {
    std::vector<std::string> lines = splitLines(jt65b);
    std::vector<std::string> out;
    for (const std::string& line : lines) {
        if (line.find("JT Sync  1270.46Hz") != std::string::npos ||
            line.find("JT   Sync offset") != std::string::npos ||
            line.find("JT65B Interval") != std::string::npos) {
            continue;
        }
        out.push_back(line == "--" ? interval : line);
        if (line.find("WSPR Base") != std::string::npos) out.push_back(toneZero);
    }
    return joinLines(out);
}

TEST_F(RunTest, Jt4aAndJt4gVariants) {
    const std::string golden = testing::readBytes(MERIDEL_TEST_DATA "/jt65b_200mhz.lst");
    Plan plan;
    plan.mode = "JT4A";
    ASSERT_FALSE(run(plan).has_value());
    EXPECT_EQ(opener.received,
              jt4Variant(golden, "0x40,0x00,0x6A,0x05,0xF8,0x68 ; JT4A Tone 0  1263.8 Hz",
                         "0x00,0x5D,0xF3,0xD1 ; JT4A Interval"));
    EXPECT_FALSE(form.warningVisible());

    plan.mode = "JT4G";
    ASSERT_FALSE(run(plan).has_value());
    EXPECT_EQ(opener.received,
              jt4Variant(golden, "0x40,0x00,0x42,0xF0,0x09,0xE9 ; JT4G Tone 0  797.95 Hz",
                         "0x1A,0x6C,0x92,0xD0 ; JT4G Interval"));
    EXPECT_TRUE(form.warningVisible());
    EXPECT_EQ(form.warningCaption(), "USE 32-BIT ADD FOR JT4G");
}

TEST_F(RunTest, JtFamilyOffsetsAreCutNotRounded) {
    const std::vector<std::pair<std::string, std::string>> offsets = {
        {"JT4B", " 1257.3"}, {"JT4C", " 1244.2"}, {"JT4D", " 1211.3"},
        {"JT4E", " 1152.3"}, {"JT4F", " 1034.2"}, {"JT4G", " 797.95"}};
    for (const auto& [mode, offset] : offsets) {
        Plan plan;
        plan.mode = mode;
        ASSERT_FALSE(run(plan).has_value());
        EXPECT_NE(form.results().text.find(" ; " + mode + " Tone 0 " + offset + " Hz"),
                  std::string::npos)
            << mode;
    }
}

// --- numbers of the plan ---------------------------------------------------------------------

TEST_F(RunTest, PhaseConstantHalfATurnOverR) {
    const std::vector<std::pair<std::string, std::string>> table = {{"1", "0x20,0x00"},
                                                                    {"2", "0x10,0x00"},
                                                                    {"3", "0x0A,0xAB"},
                                                                    {"9", "0x03,0x8E"},
                                                                    {"12", "0x02,0xAB"}};
    for (const auto& [r, bytes] : table) {
        Plan plan;
        plan.rfMult = r;
        ASSERT_FALSE(run(plan).has_value());
        EXPECT_EQ(resultLines().back(), "PHASE180  Constant  " + bytes) << "R = " << r;
    }
}

TEST_F(RunTest, ControlRegisterByte) {
    struct Case {
        std::string refIn, pll, line;
    };
    const std::vector<Case> cases = {
        {"200", "1", "AD9852 Control reg  0x10,0x64,0x00,0x60 (OSK On)"},  // bypass, any clock
        {"20", "10", "AD9852 Control reg  0x10,0x4A,0x00,0x60 (OSK On)"},
        {"19", "10", "AD9852 Control reg  0x10,0x0A,0x00,0x60 (OSK On)"},  // 190 MHz: strict
        {"20", "9", "AD9852 Control reg  0x10,0x09,0x00,0x60 (OSK On)"},
        {"20", "20", "AD9852 Control reg  0x10,0x54,0x00,0x60 (OSK On)"},
    };
    for (const Case& c : cases) {
        Plan plan;
        plan.refIn = c.refIn;
        plan.pll = c.pll;
        ASSERT_FALSE(run(plan).has_value());
        const auto lines = resultLines();
        EXPECT_EQ(lines[lines.size() - 2], c.line) << c.refIn << " x " << c.pll;
    }
}

// A PLL multiplier of 2 or 3 is not in the list; a form that offers one shows the check.
class FormWithPll : public RecordingForm {
public:
    FormWithPll(EffectLog& log, std::string pll) : RecordingForm(log), pll_(std::move(pll)) {}
    std::string_view pllText() const override { return pll_; }

private:
    std::string pll_;
};

TEST(IllegalPll, TwoAndThreeReplaceTheControlLineOnly) {
    for (const char* pll : {"2", "3"}) {
        EffectLog log;
        FormWithPll form(log, pll);
        testing::loadFirstStart(form);
        MemoryOpener opener;
        ASSERT_FALSE(form.calculate(opener).has_value());
        const auto lines = splitLines(form.results().text);
        EXPECT_EQ(lines[lines.size() - 2], "Illegal PLL value");
        EXPECT_EQ(lines.back(), "PHASE180  Constant  0x20,0x00");
        EXPECT_EQ(lines.size(), 19u);  // the first-start plan: JT65C
    }
}

TEST_F(RunTest, IntervalWordsKeepOnlyTheirLowFourBytes) {
    Plan plan;
    plan.refIn = "20";
    plan.pll = "1";  // 20 MHz: the FSK441 interval word 6206523236 needs 33 bits
    plan.foutput = "5";
    ASSERT_FALSE(run(plan).has_value());
    EXPECT_EQ(resultLine("FSK441 Interval"), "0x71,0xF0,0x07,0x64 ; FSK441 Interval     ");
}

TEST_F(RunTest, KeyingFrequencyAndCarrierReadBack) {
    Plan plan;
    plan.foutput = "144";
    plan.rfMult = "3";
    ASSERT_FALSE(run(plan).has_value());
    EXPECT_EQ(form.fieldText(Field::Fo), " 48");
    EXPECT_EQ(form.fieldText(Field::KeyFreq), "144.0015");

    plan.foutput = "1296.5";
    plan.rfMult = "9";
    ASSERT_FALSE(run(plan).has_value());
    EXPECT_EQ(form.fieldText(Field::Fo), " 144.055555555556");
    EXPECT_NE(opener.received.find("Fo(carrier) =  144.055555555556\r\n"), std::string::npos);
}

TEST_F(RunTest, RfMultiplierRoundsHalfToEven) {
    Plan plan;
    plan.rfMult = "2.5";
    ASSERT_FALSE(run(plan).has_value());
    EXPECT_EQ(form.fieldText(Field::Fo), " 25");
    plan.rfMult = "3.5";
    ASSERT_FALSE(run(plan).has_value());
    EXPECT_EQ(form.fieldText(Field::Fo), " 12.5");
}

TEST_F(RunTest, NumberFormsOfTheLabels) {
    Plan plan;
    plan.foutput = "144.49";
    plan.refIn = "100";
    plan.pll = "4";
    plan.tone = "1500.5";
    plan.shift = "";
    plan.comment = "";
    ASSERT_FALSE(run(plan).has_value());
    const auto listing = splitLines(opener.received);
    EXPECT_EQ(listing[3], "    ;");
    EXPECT_EQ(listing[4], "    ;Fcarrier = 144.49 , RF Mult = 1 , Fo(carrier) =  144.49");
    EXPECT_EQ(listing[5], "    ;Ref in   = 100 , PLL Mult= 4 , Clock freq  =  400");
    EXPECT_NE(resultLine("Hz Tone").find(" ; 1500.5Hz Tone    "), std::string::npos);
    EXPECT_NE(resultLine("RTTY Mark").find(" ; RTTY Mark   1275Hz"), std::string::npos);

    plan.tone = "0.5";
    plan.shift = "170";
    plan.comment = "keep trailing  ";
    ASSERT_FALSE(run(plan).has_value());
    EXPECT_EQ(splitLines(opener.received)[3], "    ;keep trailing  ");
    EXPECT_NE(resultLine("Hz Tone").find(" ; .5Hz Tone    "), std::string::npos);
    EXPECT_NE(resultLine("RTTY Mark").find(" ; RTTY Mark   1445Hz"), std::string::npos);

    plan.tone = "-20";
    ASSERT_FALSE(run(plan).has_value());
    EXPECT_NE(resultLine("Hz Tone").find(" ; -20Hz Tone    "), std::string::npos);
}

TEST_F(RunTest, ModeWithoutSelectionBehavesAsJt65WithTheShownText) {
    Plan plan;
    plan.mode = "";
    ASSERT_FALSE(run(plan).has_value());
    EXPECT_EQ(form.modeIndex(), -1);
    EXPECT_NE(resultLine("JT Sync  1270.46Hz"), "");
    EXPECT_EQ(resultLine(" Interval      "),
              "0x00,0x39,0xCD,0x81 ; " + std::string() + " Interval      ");
    EXPECT_EQ(resultLines()[resultLines().size() - 4], "--");
}

// --- the range warnings -----------------------------------------------------------------------

struct WarningCase {
    std::string mode, refIn;  // PLL 1 and R = 1, so the clock is the RefIn value
    bool warns;
};

TEST_F(RunTest, ThirtyTwoBitAddWarningThresholds) {
    const std::vector<WarningCase> cases = {
        {"JT65A", "73.3", true},   {"JT65A", "73.5", false},  // JT4's own word decides
        {"JT65B", "90.3", true},   {"JT65B", "90.4", false}, {"JT65C", "180.6", true},
        {"JT65C", "180.7", false}, {"JT44", "180.6", true},  {"JT4A", "73.3", true},
        {"JT4A", "73.5", false},   {"JT4B", "146.7", true},  {"JT4B", "146.9", false},
        {"JT4C", "293.5", true},   {"JT4C", "293.7", false}, {"JT4D", "660.5", true},
        {"JT4D", "660.7", false},
    };
    for (const WarningCase& c : cases) {
        Plan plan;
        plan.mode = c.mode;
        plan.refIn = c.refIn;
        plan.pll = "1";
        plan.foutput = "10";
        ASSERT_FALSE(run(plan).has_value());
        EXPECT_EQ(form.warningVisible(), c.warns) << c.mode << " at " << c.refIn << " MHz";
        if (c.warns) {
            EXPECT_EQ(form.warningCaption(), "USE 32-BIT ADD FOR " + c.mode);
        }
    }
}

TEST_F(RunTest, CarrierWarningIsStrictAndWins) {
    Plan plan;
    plan.refIn = "20";
    plan.pll = "10";
    plan.foutput = "80";  // exactly 0.4 of the 200 MHz clock
    ASSERT_FALSE(run(plan).has_value());
    EXPECT_FALSE(form.warningVisible());

    plan.foutput = "80.000001";
    ASSERT_FALSE(run(plan).has_value());
    EXPECT_TRUE(form.warningVisible());
    EXPECT_EQ(form.warningCaption(), "DDS FREQ TOO HIGH!");

    plan.mode = "JT4G";  // both conditions: the carrier warning replaces the 32-bit one
    ASSERT_FALSE(run(plan).has_value());
    EXPECT_EQ(form.warningCaption(), "DDS FREQ TOO HIGH!");

    // The next run hides the label again; a hidden label keeps its caption.
    plan.mode = "JT65B";
    plan.foutput = "50";
    ASSERT_FALSE(run(plan).has_value());
    EXPECT_FALSE(form.warningVisible());
    EXPECT_EQ(form.warningCaption(), "DDS FREQ TOO HIGH!");

    plan.mode = "no such mode";  // no selection at 20 MHz: the JT4A-spaced word needs 32 bits
    plan.refIn = "2";
    plan.foutput = "5";
    ASSERT_FALSE(run(plan).has_value());
    EXPECT_EQ(form.warningCaption(), "USE 32-BIT ADD FOR no such mode");
}

// --- order of effects and the after-run state -------------------------------------------------

TEST_F(RunTest, EffectsHappenInRunOrder) {
    enter(Plan{});
    log = EffectLog();
    ASSERT_FALSE(run().has_value());
    const std::vector<std::string> expected = {"set Fo",
                                               "set ClockFreq",
                                               "open",
                                               "write",
                                               "write",
                                               "write",
                                               "write",
                                               "write",
                                               "write",
                                               "write",
                                               "set KeyFreq",
                                               "results set",
                                               "results append",
                                               "write",
                                               "close",
                                               "results fresh",
                                               "adjuster disabled"};
    EXPECT_EQ(log.effects(), expected);
}

TEST_F(RunTest, AfterARunTheResultsAreFreshAndTheAdjusterDisabled) {
    form.setFieldText(Field::KeyFreq, "1");
    ASSERT_TRUE(form.carrierAdjusterEnabled());
    ASSERT_EQ(form.results().colour, model::ResultsColour::Stale);
    form.closeResultsWindow();
    ASSERT_FALSE(run(Plan{}).has_value());
    EXPECT_EQ(form.results().colour, model::ResultsColour::Fresh);
    EXPECT_FALSE(form.carrierAdjusterEnabled());
    EXPECT_TRUE(form.results().visible);  // a run shows the results window again
    EXPECT_EQ(form.results().text.substr(form.results().text.size() - 9), "0x20,0x00");
    EXPECT_EQ(opener.received.substr(opener.received.size() - 11), "0x20,0x00\r\n");
    EXPECT_EQ(form.results().text.find(";AD9852 DDS register data"), std::string::npos);
}

TEST_F(RunTest, TargetNameIsUpperCasedAndEmptyMeansTheNullDevice) {
    enter(Plan{});
    form.setFieldText(Field::FileName, "out/beacon.asm");
    ASSERT_FALSE(run().has_value());
    EXPECT_EQ(opener.openedName, "OUT/BEACON.ASM");
    form.setFieldText(Field::FileName, " ");
    ASSERT_FALSE(run().has_value());
    EXPECT_EQ(opener.openedName, " ");  // blanks are a name, used unchanged
    form.setFieldText(Field::FileName, "");
    ASSERT_FALSE(run().has_value());
    EXPECT_EQ(opener.openedName, "");
}

// --- failures and what they leave behind --------------------------------------------------------

TEST_F(RunTest, ZeroRfMultiplierStopsBeforeAnyChange) {
    for (const char* r : {"", "0", "0.5", "-0.5", "abc"}) {
        ASSERT_FALSE(run(Plan{}).has_value());
        const std::string previousResults = form.results().text;
        const std::string fo = form.fieldText(Field::Fo);
        form.setFieldText(Field::RFMult, r);
        const auto failure = run();
        ASSERT_TRUE(failure.has_value()) << r;
        EXPECT_EQ(failure->kind, FailureKind::Arithmetic);
        EXPECT_NE(failure->message.find("RF Mult"), std::string::npos) << failure->message;
        EXPECT_EQ(form.fieldText(Field::Fo), fo);
        EXPECT_EQ(form.fieldText(Field::ClockFreq), " 200");
        EXPECT_FALSE(opener.opened);
        EXPECT_EQ(form.results().text, previousResults);
    }
}

TEST_F(RunTest, RfMultiplierBeyondThirtyTwoBitsIsAnOverflow) {
    Plan plan;
    plan.rfMult = "3e9";
    const auto failure = run(plan);
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->message.find("\"3e9\""), std::string::npos) << failure->message;
    EXPECT_FALSE(opener.opened);
}

TEST_F(RunTest, ZeroClockStopsAfterWritingTheDerivedFields) {
    Plan plan;
    plan.pll = "";  // no multiplier selected
    plan.foutput = "144";
    auto failure = run(plan);
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->message.find("PLL Clock Multiplier"), std::string::npos);
    EXPECT_EQ(form.fieldText(Field::Fo), " 144");
    EXPECT_EQ(form.fieldText(Field::ClockFreq), " 0");
    EXPECT_FALSE(opener.opened);

    plan.pll = "10";
    plan.refIn = "abc";
    failure = run(plan);
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->message.find("Ref. Input Freq \"abc\""), std::string::npos);
    EXPECT_FALSE(opener.opened);
}

TEST_F(RunTest, FailureAfterOpeningLeavesTheHeaderOnly) {
    ASSERT_FALSE(run(Plan{}).has_value());
    const std::string previousResults = form.results().text;
    for (const char* field : {"tone", "shift"}) {
        Plan plan;
        (std::string(field) == "tone" ? plan.tone : plan.shift) = "1e308";
        const auto failure = run(plan);
        ASSERT_TRUE(failure.has_value()) << field;
        EXPECT_EQ(failure->kind, FailureKind::Arithmetic);
        EXPECT_TRUE(opener.closed);
        const auto lines = splitLines(opener.received);
        EXPECT_EQ(lines.size(), 8u);  // seven header lines, each ended by CR LF
        EXPECT_EQ(lines[4], "    ;Fcarrier = 50 , RF Mult = 1 , Fo(carrier) =  50");
        EXPECT_EQ(form.results().text, previousResults);
    }
}

TEST_F(RunTest, TargetThatCannotBeOpenedIsAnOutputFailure) {
    enter(Plan{});
    form.setFieldText(Field::FileName, "x");
    opener = MemoryOpener(&log);
    opener.failOpen = true;
    const auto failure = form.calculate(opener);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->kind, FailureKind::Output);
    EXPECT_EQ(form.fieldText(Field::Fo), " 50");
    EXPECT_EQ(form.fieldText(Field::ClockFreq), " 200");
    EXPECT_EQ(form.fieldText(Field::KeyFreq), "");
    EXPECT_EQ(form.results().text, "");
}

TEST_F(RunTest, HugeOrTinyClocksFailInsteadOfPrintingGarbage) {
    Plan plan;
    plan.refIn = "1e-300";  // every word overflows
    auto failure = run(plan);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->kind, FailureKind::Arithmetic);
    EXPECT_FALSE(opener.opened);

    plan.refIn = "1e308";
    plan.pll = "20";
    failure = run(plan);
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->message.find("Ref. Input Freq"), std::string::npos) << failure->message;
}

TEST_F(RunTest, NegativePlansCompleteWithTwosComplementWords) {
    Plan plan;
    plan.rfMult = "-2";
    ASSERT_FALSE(run(plan).has_value());
    EXPECT_EQ(form.fieldText(Field::Fo), "-25");
    EXPECT_EQ(resultLines().back(), "PHASE180  Constant  0xF0,0x00");
    EXPECT_EQ(form.fieldText(Field::KeyFreq), "50.0015");
}

}  // namespace
}  // namespace meridel::run
