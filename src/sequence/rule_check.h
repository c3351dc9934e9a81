// The beacon rules a cycle is checked against, each finding saying which rule, where in the
// cycle and what to change.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sequence/cycle.h"

namespace meridel::sequence {

enum class Rule { Overlap, Overrun, CwId, CwSpeed, Carrier, ModeStart, Duty };
std::string_view ruleName(Rule rule);

struct Finding {
    Rule rule;
    bool breach;  // false: a figure to know (the duty cycle), not a fault
    // A breach that spoils more than this beacon: segments that overlap, a transmission running
    // into the next cycle or slot (another beacon's), WSPR off the even minute (no decode at all).
    bool hard;
    Rational at;  // seconds from the cycle start
    std::string text;
};

// All findings, in the order of the rules above and then of time. `cwWpm` is the CW speed.
std::vector<Finding> checkCycle(const Cycle& cycle, double cwWpm);

bool anyBreach(const std::vector<Finding>& findings);
bool anyHardBreach(const std::vector<Finding>& findings);

}  // namespace meridel::sequence
