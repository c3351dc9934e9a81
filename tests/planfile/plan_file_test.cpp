// Plan files: written and read back to the same plan and the same bytes, and the edges of the
// ranges they take.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "planfile/plan_file.h"

namespace {
using meridel::planfile::BeaconPlan;
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

// What the reader refuses, and how it names the place, is in the command cases (plan_errors).
TEST(PlanFile, TakesTheEdgesOfItsRanges) {
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
