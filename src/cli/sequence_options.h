#pragma once

#include <cstdio>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "beacon/message_plan.h"
#include "cli/chip_options.h"
#include "cli/firmware_options.h"
#include "model/main_window_model.h"
#include "planfile/plan_file.h"
#include "sequence/cycle.h"
#include "sequence/rule_check.h"
#include "sequence/timer_reloads.h"

namespace meridel::cli {

// The beacon cycle options: --plan FILE (read first, wherever it stands, so that every other
// option overrides the file), --write-plan FILE, --check, --force-cycle, --event-file NAME,
// --timer-hz HZ, --timer-prescaler N and --timer-bits N.
struct SequenceRequest {
    std::optional<sequence::SequencePlan> sequence;  // from the plan file
    std::optional<std::string> writePlan, eventFile;
    std::optional<std::string> timerHz, timerPrescaler, timerBits;
    bool check = false;
    // The option that changed the plan file's plan, whose comment then no longer describes it.
    std::optional<std::string> commentOutdatedBy;
    std::optional<planfile::BeaconPlan> plan;  // the plan file read, for the lines of errors
    bool forceCycle = false;  // write the outputs of a cycle that breaks a hard rule
};

bool isSequenceOption(std::string_view option);
// --check and --force-cycle are switches.
bool takesNoValue(std::string_view option);

// Stores a cycle option; `value` takes the option's value (--check takes none). Throws
// UsageError.
void takeSequenceOption(SequenceRequest& request, std::string_view option,
                        const std::function<std::string()>& value);

// The arguments with a --plan FILE replaced by the options the file sets, put first; its cycle
// goes to `request`. Throws UsageError naming the file, line and key of a bad plan.
std::vector<std::string> expandPlan(const std::vector<std::string>& args, SequenceRequest& request);

// Throws UsageError for timer options out of range, or cycle options without a plan's cycle.
void checkSequenceRequest(const SequenceRequest& request);

// Writes the plan of the current fields, chip, clock correction, messages, cycle and timer to
// --write-plan's file. Throws listing::OutputError.
void writePlanFile(const SequenceRequest& request, const model::MainWindowModel& model,
                   const FirmwareRequest& firmware, const ChipRequest& chip,
                   const beacon::MessageInputs& messages);

// The cycle of the plan over its encoded messages, its findings and, with --timer-hz, its timer
// counts.
struct CycleResult {
    sequence::Cycle cycle;
    std::vector<sequence::Finding> findings;
    std::optional<sequence::TimerPlan> timer;
};

// Nullopt without a cycle in the plan; throws sequence::SequenceError, also for a cycle that
// breaks a hard rule unless the request checks it or forces it.
std::optional<CycleResult> computeCycle(const SequenceRequest& request,
                                        const std::vector<beacon::EncodedMessage>& messages,
                                        double cwWpm);

// --check: the findings on `out` (or as JSON); 1 on a breach.
int printFindings(const CycleResult& result, bool json, std::FILE* out);

// The C header section of the events (with the timer counts), its names starting with
// `prefix`; a forced cycle's hard breaches stand above it.
std::string cycleHeaderSection(const CycleResult& result, std::string_view prefix);

// A breached rule of the cycle as a warning on `err`.
void reportBreaches(const CycleResult& result, std::FILE* err);
// The cycle's events as an assembler include in the listing's style (CR LF, Windows-1252).
std::string eventFileBytes(const CycleResult& result);

nlohmann::json cycleJson(const CycleResult& result);

}  // namespace meridel::cli
