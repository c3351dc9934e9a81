// The cycle's event table as firmware source: a C header section and assembler include lines
// in the register listing's style.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sequence/cycle.h"
#include "sequence/timer_reloads.h"

namespace meridel::sequence {

// The numbers the firmware sees for an event's table (0 for none) and kind.
int tableNumber(const std::string& key);
int kindNumber(EventKind kind);

// Defines and parallel arrays (PROGMEM on AVR) of the events: time in microseconds, kind,
// table, index, tone and key state; with a timer, the counts to the next event. Every name
// starts with `prefix` and "_", as the rest of the header's.
std::string cEventSection(const Cycle& cycle, const TimerPlan* timer,
                          std::string_view prefix = "DDS");

// The same as assembler lines: comments, then one data line per event. Lines come without line
// ends; the writer's target adds them.
std::vector<std::string> asmEventLines(const Cycle& cycle, const TimerPlan* timer);

}  // namespace meridel::sequence
