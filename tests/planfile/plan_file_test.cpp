// Plan files: written and read back to the same plan and the same bytes; bad files named by
// file, line and key.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "planfile/plan_file.h"

namespace {
using meridel::planfile::BeaconPlan;
using meridel::planfile::PlanError;
using meridel::planfile::readPlan;
using meridel::planfile::writePlan;
using meridel::sequence::Rational;

TEST(PlanFile, TemplatesAndAFullPlanSurviveWriteAndRead) {
    std::vector<BeaconPlan> plans;
    for (const char* name : {"iaru-mixed", "jt4-cw", "jt65-cw", "wspr", "cw-carrier"}) {
        plans.push_back(
            meridel::planfile::readPlanFile(MERIDEL_EXAMPLES "/" + std::string(name) + ".toml"));
        ASSERT_TRUE(plans.back().sequence) << name;
    }
    BeaconPlan full;
    full.fields.refIn = "12.8";
    full.fields.comment = "quote \" back\\slash\ttab \xC3\xA9";
    full.fields.tone = "-0.5e1";
    full.dds = {"AD9851", "180", "6", "c"};
    full.calibration = {std::nullopt, std::nullopt, "50471012.5", "dds"};
    full.messages.cw = "G0ABC";
    full.messages.cwWpm = 10.5;
    full.messages.pi4AudioHz = 0.1;
    full.sequence = {
        Rational(300),
        5,
        3,
        {{meridel::sequence::SegmentKind::Carrier, Rational(73, 3), Rational(1, 10), std::nullopt},
         {meridel::sequence::SegmentKind::Pause, std::nullopt, std::nullopt, Rational(119, 2)}}};
    full.timer = meridel::sequence::TimerSpec{125'000'000, 250, 32};
    plans.push_back(full);
    for (const BeaconPlan& plan : plans) {
        const std::string text = writePlan(plan);
        const BeaconPlan again = readPlan(text, "written.toml");
        EXPECT_EQ(again, plan) << text;
        EXPECT_EQ(writePlan(again), text);
    }
}

TEST(PlanFile, BadFilesNameTheLineAndKey) {
    const std::pair<const char*, const char*> cases[] = {
        {"[plan]\nref_in = \"20\"\nref_inn = \"20\"\n",
         "bad.toml:3: plan.ref_inn: is no key of [plan]"},
        {"\n[planx]\n", "bad.toml:2: planx: is no section"},
        {"[plan]\nmode = [1]\n", "bad.toml:2: plan.mode: must be a text"},
        {"[messages]\ncw_wpm = \"fast\"\n", "bad.toml:2: messages.cw_wpm: must be a number"},
        {"[cycle]\nseconds = 30\n", "bad.toml:2: cycle.seconds: must be a whole number from 60"},
        {"[[segment]]\nkind = \"cw\"\n\n[[segment]]\nkind = \"morse\"\n",
         "bad.toml:5: segment 2.kind: must be pi4, cw,"},
        {"[[segment]]\nstart = 1\n", "bad.toml:1: segment 1: needs a kind"},
        {"[[segment]]\nkind = \"pause\"\nlength = \"1/0\"\n",
         "bad.toml:3: segment 1.length: must be seconds"},
        {"[[segment]]\nkind = \"pause\"\nstart = 1e300\n", "bad.toml:3: segment 1.start"},
        {"[timer]\nbits = 40\n", "bad.toml:2: timer.bits: must be a whole number from 8 to 32"},
        {"[timer]\nbits = 16\n", "bad.toml:1: timer: needs hz"},
        {"[plan]\ntone = \"800\n", "bad.toml:2: "},
        {"segment = 3\n", "bad.toml:1: segment: must be a list"},
        {"[calibration]\nppm = \"fast\"\n", "bad.toml:2: calibration.ppm: \"fast\" is not a"},
        // Numbers are plain: what the window would read as another number is an error.
        {"[plan]\noutput = \"14,0971\"\n", "bad.toml:2: plan.output: \"14,0971\" is not a"},
        {"[plan]\n\noutput = nan\n", "bad.toml:3: plan.output: \"nan\" is not a"},
        {"[plan]\nref_in = \"\"\n", "bad.toml:2: plan.ref_in: \"\" is not a"},
        {"[plan]\ntone = \"\xEF\xBC\x91\"\n", "bad.toml:2: plan.tone: "},
        {"[plan]\nshift = \"170 Hz\"\n", "bad.toml:2: plan.shift: "},
        {"[plan]\nrf_mult = \"&H3\"\n", "bad.toml:2: plan.rf_mult: "},
        {"[plan]\npll = \"3\"\n", "bad.toml:2: plan.pll: \"3\" is not a PLL multiplier"},
        {"[plan]\npll = \"10.0\"\n", "bad.toml:2: plan.pll: "},
        {"[dds]\nclock = inf\n", "bad.toml:2: dds.clock: \"inf\" is not a clock"},
        {"[dds]\nref_mult = \" 6\"\n", "bad.toml:2: dds.ref_mult: "},
        {"[dds]\nchip = \"AD9999\"\n", "bad.toml:2: dds.chip: \"AD9999\" is not a chip"},
        {"[dds]\nformat = \"hex\"\n", "bad.toml:2: dds.format: \"hex\" is not a format"},
        {"[calibration]\nppm = 1000.001\n", "bad.toml:2: calibration.ppm: \"1000.001\" is more"},
        {"[calibration]\nppb = -1000001\n", "bad.toml:2: calibration.ppb: \"-1000001\" is more"},
        {"[calibration]\nmeasured = \"50 MHz\"\n", "bad.toml:2: calibration.measured: "},
        {"[calibration]\nppm = 1\nppb = 2\n", "bad.toml:1: calibration: give ppm or ppb"},
        {"[calibration]\nmeasured = 5e7\nmeasured_at = \"chip\"\n",
         "bad.toml:3: calibration.measured_at: must be antenna or dds"},
        {"[calibration]\nmeasured_at = \"dds\"\n", "bad.toml:1: calibration.measured_at: needs"},
    };
    for (const auto& [text, message] : cases) {
        try {
            readPlan(text, "bad.toml");
            ADD_FAILURE() << text;
        } catch (const PlanError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(message, 0), 0u) << e.what();
        }
    }
    EXPECT_THROW(meridel::planfile::readPlanFile("/nonexistent/beacon.toml"), PlanError);
    // The edges of what is taken.
    for (const char* text : {"[calibration]\nppm = -1000\n", "[calibration]\nppb = 1000000\n",
                             "[plan]\npll = 1\n", "[dds]\nchip = \"si5351\"\n"}) {
        EXPECT_NO_THROW(readPlan(text, "good.toml")) << text;
    }
}

TEST(PlanFile, WindowFieldsAreWrittenAsTheNumbersTheWindowReads) {
    BeaconPlan typed;
    typed.fields = {" 12.8", "16", "&H3", "10 MHz", " ", "170", "JT65B", "10 MHz", " "};
    typed.dds.clock = "1e400";  // no finite number: kept, so that reading it names it
    const std::string text = writePlan(typed);
    EXPECT_NE(
        text.find(
            "ref_in = \"12.8\"\npll = \"16\"\nrf_mult = \"3\"\noutput = \"10\"\ntone = \"0\""),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("comment = \"10 MHz\"\nfile = \" \""), std::string::npos) << text;
    EXPECT_NE(text.find("clock = \"1e400\""), std::string::npos) << text;
}

TEST(PlanFile, KeysKeepTheirLinesForLaterErrors) {
    const BeaconPlan plan = readPlan(
        "[plan]\noutput = 50\n\n[messages]\nwspr = \"K1ABC\"\n\n[[segment]]\n"
        "kind = \"wspr\"\n[[segment]]\nkind = \"pause\"\n",
        "b.toml");
    EXPECT_EQ(plan.where("messages.wspr"), "b.toml:5: messages.wspr: ");
    EXPECT_EQ(plan.where("plan.output"), "b.toml:2: plan.output: ");
    EXPECT_EQ(plan.where("segment 2"), "b.toml:9: segment 2: ");
    EXPECT_EQ(plan.where("plan.tone"), "");
}

}  // namespace
