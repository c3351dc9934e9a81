// The beacon plan file: the window's fields, the chip, the messages, the cycle and the timer
// of one beacon, in TOML. This is the only code that reads or writes that format.
#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "beacon/message_plan.h"
#include "sequence/cycle.h"
#include "sequence/timer_reloads.h"

namespace meridel::planfile {

// Every value is optional: a plan file gives what it wants to set and leaves the rest as the
// program would start. Field texts are kept exactly as typed, as the window keeps them.
struct BeaconPlan {
    struct Fields {
        std::optional<std::string> refIn, pll, rfMult, output, tone, shift, mode, comment, file;
        friend bool operator==(const Fields&, const Fields&) = default;
    } fields;
    struct Dds {
        std::optional<std::string> chip, clock, refMult, format;
        friend bool operator==(const Dds&, const Dds&) = default;
    } dds;
    struct Messages {
        std::optional<std::string> jt, wspr, fsk441, pi4, cw, rtty;
        std::optional<double> cwWpm, pi4AudioHz;
        friend bool operator==(const Messages&, const Messages&) = default;
    } messages;
    // The chip clock's correction, as --ppm, --ppb or --measured and --measured-at give it.
    struct Calibration {
        std::optional<std::string> ppm, ppb, measured, measuredAt;
        friend bool operator==(const Calibration&, const Calibration&) = default;
    } calibration;
    std::optional<sequence::SequencePlan> sequence;
    std::optional<sequence::TimerSpec> timer;
    // Where the file gave each key ("messages.wspr", "segment 2"), for the errors that come to
    // light only when the plan is computed. Not part of the plan's value.
    struct Source {
        std::string file;
        std::map<std::string, int> lines;
        friend bool operator==(const Source&, const Source&) { return true; }
    } source;
    friend bool operator==(const BeaconPlan&, const BeaconPlan&) = default;

    // "beacon.toml:12: messages.wspr: " for a key the file gave; empty for any other.
    std::string where(const std::string& key) const;
};

// A file that is no plan: what() names the file, the line and the key, and what is allowed.
struct PlanError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// `name` is the file's name for the messages. Throws PlanError, never anything else.
BeaconPlan readPlan(std::string_view text, const std::string& name);
BeaconPlan readPlanFile(const std::string& path);

// The plan as a file that readPlan reads back to the same plan.
std::string writePlan(const BeaconPlan& plan);

// The plan's messages as the encoders take them: a message the file leaves out is not sent, a
// speed or offset it leaves out keeps its default.
beacon::MessageInputs messageInputs(const BeaconPlan::Messages& messages);

}  // namespace meridel::planfile
