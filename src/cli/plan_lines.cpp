#include "cli/plan_lines.h"

#include <algorithm>
#include <string_view>

namespace meridel::cli {
namespace {

struct KeyOfText {
    std::string_view start;   // what the error begins with
    std::string_view option;  // the option that would give the value on the command line
    std::string_view key;     // the plan file's key
};

// Longer starts first where one begins another ("--measured-at", "--measured").
constexpr KeyOfText kKeys[] = {
    {"--ref-in", "--ref-in", "plan.ref_in"},
    {"--pll", "--pll", "plan.pll"},
    {"--rf-mult", "--rf-mult", "plan.rf_mult"},
    {"--output", "--output", "plan.output"},
    {"--tone", "--tone", "plan.tone"},
    {"--shift", "--shift", "plan.shift"},
    {"--mode", "--mode", "plan.mode"},
    {"--file", "--file", "plan.file"},
    {"--dds", "--dds", "dds.chip"},
    {"--clock", "--clock", "dds.clock"},
    {"--ref-mult", "--ref-mult", "dds.ref_mult"},
    {"--format", "--format", "dds.format"},
    {"--ppm", "--ppm", "calibration.ppm"},
    {"--ppb", "--ppb", "calibration.ppb"},
    {"--measured-at", "--measured-at", "calibration.measured_at"},
    {"--measured", "--measured", "calibration.measured"},
    {"--cw-wpm", "--cw-wpm", "messages.cw_wpm"},
    {"--pi4-audio", "--pi4-audio", "messages.pi4_audio"},
    {"--timer-hz", "--timer-hz", "timer.hz"},
    {"--timer-prescaler", "--timer-prescaler", "timer.prescaler"},
    {"--timer-bits", "--timer-bits", "timer.bits"},
    {"JT", "--jt-message", "messages.jt"},
    {"WSPR message", "--wspr-message", "messages.wspr"},
    {"FSK441 message", "--fsk441-message", "messages.fsk441"},
    {"PI4 message", "--pi4-message", "messages.pi4"},
    {"CW message", "--cw-message", "messages.cw"},
    {"RTTY message", "--rtty-message", "messages.rtty"},
    {"cycle ", "", "cycle.seconds"},
    {"slot ", "", "cycle.slot"},
    {"CW speed", "--cw-wpm", "messages.cw_wpm"},
    {"PI4 audio frequency", "--pi4-audio", "messages.pi4_audio"},
    {"--check, --force-cycle, --event-file and --timer-hz", "--timer-hz", "timer.hz"},
};

// A failed run names the window's fields it read; the first one the file gave is the line.
constexpr KeyOfText kFields[] = {
    {"Ref. Input Freq", "--ref-in", "plan.ref_in"}, {"Output carrier", "--output", "plan.output"},
    {"RF Mult", "--rf-mult", "plan.rf_mult"},       {"Tone Freq", "--tone", "plan.tone"},
    {"RTTY Shift", "--shift", "plan.shift"},        {"DDS clock", "--clock", "dds.clock"},
    {"at a clock of", "--clock", "dds.clock"},      {"PLL", "--pll", "plan.pll"},
};

bool onCommandLine(const std::vector<std::string>& args, std::string_view option) {
    return !option.empty() && std::any_of(args.begin(), args.end(), [&](const std::string& a) {
        return a == option ||
               (a.starts_with(option) && a.size() > option.size() && a[option.size()] == '=');
    });
}

}  // namespace

std::string planLineOf(const planfile::BeaconPlan& plan, const std::vector<std::string>& args,
                       const std::string& message) {
    // "segment 3 (wspr) ..." is the third [[segment]] table, and names itself.
    if (message.starts_with("segment ")) {
        const std::string key = message.substr(0, message.find_first_not_of("0123456789", 8));
        const std::string where = plan.where(key);
        return where.empty() ? where : where.substr(0, where.size() - key.size() - 2);
    }
    for (const KeyOfText& k : kKeys) {
        if (!message.starts_with(k.start)) continue;
        const char after = message.size() > k.start.size() ? message[k.start.size()] : ' ';
        // "--pll" must not take "--pll-..." nor "JT" a word that only begins with it.
        if (k.start.starts_with("--") && after != ' ' && after != ':' && after != '=') continue;
        if (onCommandLine(args, k.option)) return {};
        return plan.where(std::string(k.key));
    }
    std::size_t first = std::string::npos;
    std::string where;
    for (const KeyOfText& k : kFields) {
        const std::size_t at = message.find(k.start);
        if (at >= first || onCommandLine(args, k.option)) continue;
        if (std::string line = plan.where(std::string(k.key)); !line.empty()) {
            first = at;
            where = std::move(line);
        }
    }
    return where;
}

}  // namespace meridel::cli
