// Each beacon rule against a plan that breaks it (and only it), and the templates, which keep
// every rule.
#include <gtest/gtest.h>

#include <set>

#include "planfile/plan_file.h"
#include "sequence/rule_check.h"
#include "sequence/template_plan.h"

namespace {
using meridel::sequence::Rule;

// The rules breached, and whether any breach is a hard one.
struct Breaches {
    std::set<Rule> rules;
    bool hard = false;
    friend bool operator==(const Breaches&, const Breaches&) = default;
};

Breaches breaches(const meridel::testing::LoadedPlan& loaded) {
    Breaches out;
    for (const auto& f : meridel::sequence::checkCycle(loaded.cycle(), loaded.cwWpm)) {
        if (f.breach) out.rules.insert(f.rule);
        out.hard = out.hard || (f.breach && f.hard);
    }
    return out;
}

// `segments` may open with more [messages] keys.
Breaches breachesOf(const std::string& segments) {
    return breaches(meridel::testing::loadPlan(meridel::planfile::readPlan(
        "[plan]\nmode = \"JT65B\"\n[messages]\ncw = \"G0ABC\"\npi4 = \"G0ABC\"\n"
        "wspr = \"G0ABC IO91 10\"\njt = \"CQ G0ABC IO91\"\n" +
            segments,
        "broken.toml")));
}

std::string wsprAlone(int seconds, int slots = 1, int slot = 1) {
    return "[cycle]\nseconds = " + std::to_string(seconds) + "\nslots = " + std::to_string(slots) +
           "\nslot = " + std::to_string(slot) + "\n[[segment]]\nkind = \"wspr\"\nstart = 1\n";
}

// A good minute to break one piece of: CW ID from 0 s (6.5 s), carrier to 59.5 s.
const std::string kCwAfter = "[[segment]]\nkind = \"cw\"\n";
const std::string kCw = kCwAfter + "start = 0\n";
const std::string kCarrier = "[[segment]]\nkind = \"carrier\"\nend = 59.5\n";

TEST(RuleCheck, FindsEachBreachAlone) {
    const bool hard = true, soft = false;
    const std::pair<std::string, Breaches> cases[] = {
        {kCw + kCarrier, {}},
        {kCw + "[[segment]]\nkind = \"carrier\"\nstart = 6\nend = 59.5\n", {{Rule::Overlap}, hard}},
        {kCw + "[[segment]]\nkind = \"carrier\"\nend = 61\n", {{Rule::Overrun}, hard}},
        {"cw_wpm = 13\n" + kCw + kCarrier, {{Rule::CwSpeed}, soft}},
        {"[[segment]]\nkind = \"carrier\"\nstart = 0\nend = 30\n", {{Rule::CwId}, soft}},
        {kCw + "[[segment]]\nkind = \"carrier\"\nlength = 19.9\n", {{Rule::Carrier}, soft}},
        // Two minutes: the odd minute has neither ID nor carrier.
        {"[cycle]\nseconds = 120\n" + kCw + kCarrier, {{Rule::CwId, Rule::Carrier}, soft}},
        // A carrier longer than a minute is identified by an ID within the minute after it, in
        // the next cycle too; one that is never followed by an ID never identifies.
        {"[cycle]\nseconds = 120\n[[segment]]\nkind = \"carrier\"\nstart = 0\nend = 100\n" +
             kCwAfter,
         {}},
        {"[cycle]\nseconds = 120\n" + kCw + "[[segment]]\nkind = \"carrier\"\nend = 119.5\n", {}},
        {"[cycle]\nseconds = 120\nslots = 2\n" + kCw +
             "[[segment]]\nkind = \"carrier\"\nend = 119.5\n",
         {{Rule::CwId}, soft}},
        {"[cycle]\nseconds = 120\n[[segment]]\nkind = \"carrier\"\nstart = 0\nend = 119.5\n",
         {{Rule::CwId}, soft}},
        // Mixed mode: the even minute's digital mode excuses its carrier, an odd one's does not,
        // and in a one-minute cycle every minute is both.
        {"[cycle]\nseconds = 120\n" + kCw + kCarrier +
             "[[segment]]\nkind = \"jt65\"\nstart = 61\n" + kCwAfter,
         {{Rule::Carrier}, soft}},
        {"[[segment]]\nkind = \"jt65\"\nstart = 1\n" + kCwAfter +
             "[[segment]]\nkind = \"carrier\"\nlength = 5\n",
         {{Rule::Carrier}, soft}},
        {"[cycle]\nseconds = 60\nslots = 2\nslot = 1\n[[segment]]\nkind = \"jt65\"\nstart = 1\n" +
             kCwAfter + "[[segment]]\nkind = \"carrier\"\nlength = 5\n",
         {}},
        // No carrier at all: an MGM-only beacon, which still identifies in CW.
        {"[[segment]]\nkind = \"pi4\"\nstart = 0\n" + kCwAfter, {}},
        {"[[segment]]\nkind = \"pi4\"\nstart = 1\n" + kCwAfter + kCarrier,
         {{Rule::ModeStart}, soft}},
        {"[cycle]\nseconds = 120\n[[segment]]\nkind = \"jt65\"\nstart = 0\n[[segment]]\n"
         "kind = \"cw\"\nstart = 50\n" +
             kCw.substr(0, 24) +
             "start = 60\n[[segment]]\n"
             "kind = \"carrier\"\nend = 119\n",
         {{Rule::ModeStart}, soft}},
        // WSPR on an even minute + 1 s in every transmission: only a period of whole two-minute
        // pairs keeps it there.
        {"[cycle]\nseconds = 120\n[[segment]]\nkind = \"wspr\"\nstart = 2\n",
         {{Rule::ModeStart}, hard}},
        {wsprAlone(120), {}},
        {wsprAlone(180), {{Rule::ModeStart}, hard}},
        {wsprAlone(300), {{Rule::ModeStart}, hard}},
        {wsprAlone(240), {}},
        {wsprAlone(120, 3, 2), {}},
        {wsprAlone(180, 2, 1), {}},
        {wsprAlone(180, 2, 2), {{Rule::ModeStart}, hard}},
        {wsprAlone(240, 2, 2), {}},
    };
    for (const auto& [segments, expected] : cases) {
        const Breaches found = breachesOf(segments);
        EXPECT_EQ(found.rules, expected.rules) << segments;
        EXPECT_EQ(found.hard, expected.hard) << segments;
    }
}

TEST(RuleCheck, TemplatesKeepEveryRuleAndReportTheirDuty) {
    for (const char* name : {"iaru-mixed", "jt4-cw", "jt65-cw", "wspr", "cw-carrier"}) {
        const auto loaded = meridel::testing::loadTemplate(name);
        EXPECT_EQ(breaches(loaded), Breaches{}) << name;
    }
    // WSPR: 110.592 s key down every 600 s.
    const auto wspr = meridel::testing::loadTemplate("wspr");
    const auto findings = meridel::sequence::checkCycle(wspr.cycle(), wspr.cwWpm);
    EXPECT_EQ(findings.back().rule, Rule::Duty);
    EXPECT_EQ(findings.back().text, "PA duty cycle 18.4 % (110.592 s key down in 600.000 s)");
}

}  // namespace
