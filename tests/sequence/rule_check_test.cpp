// Each beacon rule against a plan that breaks it (and only it), and the templates, which keep
// every rule.
#include <gtest/gtest.h>

#include <set>

#include "planfile/plan_file.h"
#include "sequence/rule_check.h"
#include "sequence/template_plan.h"

namespace {
using meridel::sequence::Rule;

std::set<Rule> breaches(const meridel::testing::LoadedPlan& loaded) {
    std::set<Rule> out;
    for (const auto& f : meridel::sequence::checkCycle(loaded.cycle(), loaded.cwWpm)) {
        if (f.breach) out.insert(f.rule);
    }
    return out;
}

// `segments` may open with more [messages] keys.
std::set<Rule> breachesOf(const std::string& segments) {
    return breaches(meridel::testing::loadPlan(meridel::planfile::readPlan(
        "[plan]\nmode = \"JT65B\"\n[messages]\ncw = \"G0ABC\"\npi4 = \"G0ABC\"\n"
        "wspr = \"G0ABC IO91 10\"\njt = \"CQ G0ABC IO91\"\n" +
            segments,
        "broken.toml")));
}

// A good minute to break one piece of: CW ID from 0 s (6.5 s), carrier to 59.5 s.
const std::string kCwAfter = "[[segment]]\nkind = \"cw\"\n";
const std::string kCw = kCwAfter + "start = 0\n";
const std::string kCarrier = "[[segment]]\nkind = \"carrier\"\nend = 59.5\n";

TEST(RuleCheck, FindsEachBreachAlone) {
    const std::pair<std::string, std::set<Rule>> cases[] = {
        {kCw + kCarrier, {}},
        {kCw + "[[segment]]\nkind = \"carrier\"\nstart = 6\nend = 59.5\n", {Rule::Overlap}},
        {kCw + "[[segment]]\nkind = \"carrier\"\nend = 61\n", {Rule::Overrun}},
        {"cw_wpm = 13\n" + kCw + kCarrier, {Rule::CwSpeed}},
        {"[[segment]]\nkind = \"carrier\"\nstart = 0\nend = 30\n", {Rule::CwId}},
        {kCw + "[[segment]]\nkind = \"carrier\"\nlength = 19.9\n", {Rule::Carrier}},
        // Two minutes: the odd minute has neither ID nor carrier.
        {"[cycle]\nseconds = 120\n" + kCw + kCarrier, {Rule::CwId, Rule::Carrier}},
        // Mixed mode: the even minute's digital mode excuses its carrier, an odd one's does not,
        // and in a one-minute cycle every minute is both.
        {"[cycle]\nseconds = 120\n" + kCw + kCarrier +
             "[[segment]]\nkind = \"jt65\"\nstart = 61\n" + kCwAfter,
         {Rule::Carrier}},
        {"[[segment]]\nkind = \"jt65\"\nstart = 1\n" + kCwAfter +
             "[[segment]]\nkind = \"carrier\"\nlength = 5\n",
         {Rule::Carrier}},
        {"[cycle]\nseconds = 60\nslots = 2\nslot = 1\n[[segment]]\nkind = \"jt65\"\nstart = 1\n" +
             kCwAfter + "[[segment]]\nkind = \"carrier\"\nlength = 5\n",
         {}},
        // No carrier at all: an MGM-only beacon, which still identifies in CW.
        {"[[segment]]\nkind = \"pi4\"\nstart = 0\n" + kCwAfter, {}},
        {"[[segment]]\nkind = \"pi4\"\nstart = 1\n" + kCwAfter + kCarrier, {Rule::ModeStart}},
        {"[cycle]\nseconds = 120\n[[segment]]\nkind = \"jt65\"\nstart = 0\n[[segment]]\n"
         "kind = \"cw\"\nstart = 50\n" +
             kCw.substr(0, 24) +
             "start = 60\n[[segment]]\n"
             "kind = \"carrier\"\nend = 119\n",
         {Rule::ModeStart}},
        {"[cycle]\nseconds = 120\n[[segment]]\nkind = \"wspr\"\nstart = 2\n", {Rule::ModeStart}},
        // Slot 2 of a 3-minute cycle starts on an odd minute.
        {"[cycle]\nseconds = 180\nslots = 2\nslot = 2\n[[segment]]\nkind = \"wspr\"\nstart = 1\n",
         {Rule::ModeStart}},
        {"[cycle]\nseconds = 240\nslots = 2\nslot = 2\n[[segment]]\nkind = \"wspr\"\nstart = 1\n",
         {}},
    };
    for (const auto& [segments, expected] : cases) {
        EXPECT_EQ(breachesOf(segments), expected) << segments;
    }
}

TEST(RuleCheck, TemplatesKeepEveryRuleAndReportTheirDuty) {
    for (const char* name : {"iaru-mixed", "jt4-cw", "jt65-cw", "wspr", "cw-carrier"}) {
        const auto loaded = meridel::testing::loadTemplate(name);
        EXPECT_EQ(breaches(loaded), std::set<Rule>{}) << name;
    }
    // WSPR: 110.592 s key down every 600 s.
    const auto wspr = meridel::testing::loadTemplate("wspr");
    const auto findings = meridel::sequence::checkCycle(wspr.cycle(), wspr.cwWpm);
    EXPECT_EQ(findings.back().rule, Rule::Duty);
    EXPECT_EQ(findings.back().text, "PA duty cycle 18.4 % (110.592 s key down in 600.000 s)");
}

}  // namespace
