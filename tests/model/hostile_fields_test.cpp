// Hostile texts typed into every field of the window, then Calculate. Nothing crashes; every
// number reads the documented way (longest numeric prefix, blanks skipped anywhere, "&H"/"&O"
// integers, no prefix reads 0, too large reads as infinity), and the run either completes or
// ends with an arithmetic failure that names the field.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "listing/text_encoding.h"
#include "numbers/decimal_text.h"
#include "numbers/field_number.h"
#include "support/recording_form.h"

namespace meridel::model {
using run::FailureKind;
using run::Field;
using namespace numbers;
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The fields a run reads as numbers, in the order of HostileText::outcomes.
const std::vector<Field> kNumberFields = {Field::RefIn, Field::RFMult, Field::Foutput,
                                          Field::ToneFreq, Field::RTTYShift};
// What the failure message says about each of them.
const std::vector<std::string> kFieldLabels = {"Ref. Input Freq", "RF Mult", "Output carrier",
                                               "Tone Freq", "RTTY Shift"};

struct HostileText {
    const char* name;
    std::string text;
    double reading;
    // 'C' when a run with this text in RefIn, RFMult, Foutput, ToneFreq, RTTYShift (the rest
    // at the first-start values) completes, 'F' when it ends with an arithmetic failure.
    const char* outcomes;
};
// Test names and failure reports show the case by its name.
void PrintTo(const HostileText& c, std::ostream* os) {
    *os << c.name;
}

const std::string kMegabyte(1'000'000, '7');

// R: 0 (and beyond 32 bits) stops the run; a reference of 0 or an overflowing product stops
// the clock; an output carrier of 2^32 MHz makes a tuning word too large to split; tone and
// shift overflow their words only beyond about 1E290 Hz.
const std::vector<HostileText> kHostileTexts = {
    {"Megabyte", kMegabyte, kInfinity, "FFFFF"},
    {"LargestDecade", "1E308", 1e308, "FFFFF"},
    {"BeyondDouble", "1E309", kInfinity, "FFFFF"},
    {"LargestDouble", "1.7976931348623157E308", std::numeric_limits<double>::max(), "FFFFF"},
    {"MinusZero", "-0", 0.0, "FFCCC"},
    {"Hex32Bits", "&HFFFFFFFF", 4294967295.0, "CFFCC"},
    {"HexWithoutDigits", "&H", 0.0, "FFCCC"},
    {"OctalWithoutDigits", "&O", 0.0, "FFCCC"},
    {"ExponentWithoutDigits", "1e", 1.0, "CCCCC"},
    {"TwoPointsFirst", "..5", 0.0, "FFCCC"},
    {"TwoPointsInside", "1.2.3", 1.2, "CCCCC"},
    {"TabInside", "1\t2", 12.0, "CCCCC"},
    {"LineFeedInside", "5\n0.505", 50.505, "CCCCC"},
    {"CrLfInside", "5\r\n0", 5.0, "CCCCC"},
    {"NonAsciiLetterFirst",
     "\xc3\xa9"
     "5",
     0.0, "FFCCC"},
    {"NonAsciiAfterDigits", "5\xe2\x82\xac", 5.0, "CCCCC"},
    {"InvalidUtf8",
     "\xff\xfe"
     "1",
     0.0, "FFCCC"},
};

class HostileField : public ::testing::TestWithParam<HostileText> {};

TEST_P(HostileField, ReadsAsDocumented) {
    EXPECT_EQ(numbers::parseFieldNumber(GetParam().text), GetParam().reading);
}

TEST_P(HostileField, ShowsItsReadingInTheDerivedFields) {
    const HostileText& h = GetParam();
    MainWindowModel model;
    testing::loadFirstStart(model);

    model.setFieldText(Field::RefIn, h.text);  // ClockFreq = PLL 16 x RefIn
    const double clock = 16 * h.reading;
    EXPECT_EQ(model.fieldText(Field::ClockFreq),
              std::isfinite(clock) ? numbers::fieldDecimalText(clock) : " 204.8");
    EXPECT_EQ(model.fieldText(Field::RefIn), h.text);  // typed texts are kept as they are
}

TEST_P(HostileField, RunCompletesOrFailsNamingTheField) {
    const HostileText& h = GetParam();
    for (std::size_t i = 0; i < kNumberFields.size(); ++i) {
        MainWindowModel model;
        testing::loadFirstStart(model);
        model.setFieldText(kNumberFields[i], h.text);
        testing::MemoryOpener opener;
        const auto failure = model.calculate(opener);

        SCOPED_TRACE("field " + std::to_string(i));
        if (h.outcomes[i] == 'C') {
            ASSERT_FALSE(failure.has_value()) << failure->message;
            EXPECT_TRUE(opener.closed);
            // The listing's last line is the phase constant, "PHASE180  Constant  0xHH,0xHH".
            ASSERT_GT(opener.received.size(), 31u);
            EXPECT_EQ(opener.received.substr(opener.received.size() - 31, 22),
                      "PHASE180  Constant  0x");
            EXPECT_EQ(opener.received.substr(opener.received.size() - 2), "\r\n");
        } else {
            ASSERT_TRUE(failure.has_value());
            EXPECT_EQ(failure->kind, run::FailureKind::Arithmetic);
            EXPECT_NE(failure->message.find(kFieldLabels[i]), std::string::npos)
                << failure->message;
            EXPECT_LT(failure->message.size(), 1000u);  // a long text is not quoted whole
            EXPECT_TRUE(!opener.opened || opener.closed);
        }
    }
}

TEST_P(HostileField, TextFieldsAndListsTakeAnyTextAndTheRunCompletes) {
    const HostileText& h = GetParam();
    MainWindowModel model;
    testing::loadFirstStart(model);
    model.setFieldText(Field::Comment, h.text);
    model.setFieldText(Field::FileName, h.text);
    model.setFieldText(Field::KeyFreq, h.text);
    model.typeModeText(h.text);  // no entry has this text: no selection, treated as JT65
    testing::MemoryOpener opener;
    const auto failure = model.calculate(opener);
    ASSERT_FALSE(failure.has_value()) << failure->message;
    EXPECT_EQ(opener.openedName, listing::toUpperCase(h.text));
    EXPECT_EQ(model.modeIndex(), -1);
    EXPECT_EQ(model.modeText(), h.text);
}

TEST_P(HostileField, PllTextMatchingNoEntryLeavesNoMultiplierAndTheRunStops) {
    MainWindowModel model;
    testing::loadFirstStart(model);
    model.selectPllText(GetParam().text);
    EXPECT_EQ(model.pllText(), "");
    EXPECT_EQ(model.fieldText(Field::ClockFreq), " 0");
    testing::MemoryOpener opener;
    const auto failure = model.calculate(opener);
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->message.find("No PLL Clock Multiplier is selected"), std::string::npos);
    EXPECT_FALSE(opener.opened);
}

// Found by fuzzing the decimal texts: just below the largest double, the 15-digit text rounds
// up beyond the double range. Fo then shows a number that reads back as infinity, and the run
// reports an overflow instead of computing with it.
TEST(LargestDouble, FifteenDigitTextReadsBackAsInfinityAndTheRunOverflows) {
    const double largest = std::numeric_limits<double>::max();
    EXPECT_EQ(numbers::fieldDecimalText(largest), " 1.79769313486232E+308");
    EXPECT_EQ(numbers::parseFieldNumber(numbers::fieldDecimalText(largest)), kInfinity);

    MainWindowModel model;
    testing::loadFirstStart(model);
    model.setFieldText(Field::Foutput, "1.7976931348623157E308");
    EXPECT_EQ(model.fieldText(Field::Fo), " 1.79769313486232E+308");
    testing::MemoryOpener opener;
    const auto failure = model.calculate(opener);
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->message.find("too large to convert to Hz (overflow)"), std::string::npos)
        << failure->message;
    EXPECT_FALSE(opener.opened);
}

INSTANTIATE_TEST_SUITE_P(Window, HostileField, ::testing::ValuesIn(kHostileTexts),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace meridel::model
