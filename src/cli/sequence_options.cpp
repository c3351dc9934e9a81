#include "cli/sequence_options.h"

#include <array>
#include <charconv>
#include <memory>

#include "dds/chips.h"
#include "listing/output_targets.h"
#include "numbers/double_chars.h"
#include "planfile/plan_file.h"
#include "sequence/event_text.h"

namespace meridel::cli {
namespace {

constexpr std::array<std::string_view, 8> kOptions = {
    "--plan",       "--write-plan", "--check",           "--force-cycle",
    "--event-file", "--timer-hz",   "--timer-prescaler", "--timer-bits"};

std::string numberText(double value) {
    return numbers::shortestText(value);
}

std::uint64_t wholeValue(std::string_view option, const std::string& text, std::uint64_t low,
                         std::uint64_t high) {
    std::uint64_t value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || value < low || value > high) {
        throw UsageError{std::string(option) + " \"" + text + "\" is not a whole number from " +
                         std::to_string(low) + " to " + std::to_string(high)};
    }
    return value;
}

// The value `args` give `option`, after it or after "=" (the last one given), or nullopt.
std::optional<std::string> givenValue(const std::vector<std::string>& args,
                                      std::string_view option) {
    std::optional<std::string> value;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == option) {
            value = i + 1 < args.size() ? args[i + 1] : std::string();
        } else if (arg.starts_with(option) && arg.size() > option.size() &&
                   arg[option.size()] == '=') {
            value = arg.substr(option.size() + 1);
        }
    }
    return value;
}

bool gives(const std::vector<std::string>& args, std::string_view option) {
    return givenValue(args, option).has_value();
}

// The first option of `rest` that gives the plan another carrier, clock, chip or mode than the
// file's options `fromFile` do.
std::optional<std::string> changedOption(const std::vector<std::string>& fromFile,
                                         const std::vector<std::string>& rest) {
    static constexpr std::array<std::string_view, 10> kPlanOptions = {
        "--output", "--rf-mult",  "--ref-in", "--pll",  "--clock",
        "--dds",    "--ref-mult", "--mode",   "--tone", "--shift"};
    for (const std::string_view option : kPlanOptions) {
        const auto given = givenValue(rest, option);
        if (given && given != givenValue(fromFile, option)) return std::string(option);
    }
    return std::nullopt;
}

// The options a plan file stands for, in the order a user would type them. A correction on the
// command line replaces the file's whole correction, which may be of another kind; a chip on the
// command line drops the file's clock keys that chip has no use for (the AD9852/AD9854 clock is
// Ref In times PLL, every other chip's is --clock).
std::vector<std::string> planArgs(const planfile::BeaconPlan& plan,
                                  const std::vector<std::string>& rest, SequenceRequest& request) {
    std::vector<std::string> args;
    const auto add = [&](const char* option, const std::optional<std::string>& value) {
        if (value) args.insert(args.end(), {option, *value});
    };
    const auto& f = plan.fields;
    const auto chipName = givenValue(rest, "--dds");
    const dds::Chip* chip = chipName ? dds::findChip(*chipName) : nullptr;
    const bool pllClock = !chip || chip->picListing, ownClock = !chip || !chip->picListing;
    if (pllClock) {
        add("--ref-in", f.refIn);
        add("--pll", f.pll);
    }
    add("--rf-mult", f.rfMult);
    add("--output", f.output);
    add("--tone", f.tone);
    add("--shift", f.shift);
    add("--mode", f.mode);
    add("--comment", f.comment);
    add("--file", f.file);
    add("--dds", plan.dds.chip);
    if (ownClock) add("--clock", plan.dds.clock);
    add("--ref-mult", plan.dds.refMult);
    add("--format", plan.dds.format);
    if (!gives(rest, "--ppm") && !gives(rest, "--ppb") && !gives(rest, "--measured")) {
        const auto& c = plan.calibration;
        add("--ppm", c.ppm);
        add("--ppb", c.ppb);
        add("--measured", c.measured);
        add("--measured-at", c.measuredAt);
    }
    const auto& m = plan.messages;
    add("--jt-message", m.jt);
    add("--wspr-message", m.wspr);
    add("--fsk441-message", m.fsk441);
    add("--pi4-message", m.pi4);
    add("--cw-message", m.cw);
    add("--rtty-message", m.rtty);
    if (m.cwWpm) add("--cw-wpm", numberText(*m.cwWpm));
    if (m.pi4AudioHz) add("--pi4-audio", numberText(*m.pi4AudioHz));
    if (plan.timer) {
        add("--timer-hz", std::to_string(plan.timer->hz));
        add("--timer-prescaler", std::to_string(plan.timer->prescaler));
        add("--timer-bits", std::to_string(plan.timer->bits));
    }
    request.sequence = plan.sequence;
    if (f.comment && !gives(rest, "--comment"))
        request.commentOutdatedBy = changedOption(args, rest);
    return args;
}

std::optional<std::string> given(const std::string& text) {
    return text.empty() ? std::nullopt : std::optional(text);
}

std::optional<sequence::TimerSpec> timerOf(const SequenceRequest& r) {
    if (!r.timerHz) {
        if (r.timerPrescaler || r.timerBits) {
            throw UsageError{
                "--timer-prescaler and --timer-bits need --timer-hz, the timer's clock"};
        }
        return std::nullopt;
    }
    sequence::TimerSpec timer;
    timer.hz = wholeValue("--timer-hz", *r.timerHz, 1, 10'000'000'000);
    if (r.timerPrescaler) {
        timer.prescaler = static_cast<std::uint32_t>(
            wholeValue("--timer-prescaler", *r.timerPrescaler, 1, 65536));
    }
    if (r.timerBits) timer.bits = static_cast<int>(wholeValue("--timer-bits", *r.timerBits, 8, 32));
    return timer;
}

std::string seconds(const sequence::Rational& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", t.toDouble());
    return text;
}

// "overlap at 6.000 s: segment 2 ..."
std::string ruleLine(const sequence::Finding& f) {
    return std::string(sequence::ruleName(f.rule)) + " at " + seconds(f.at) + " s: " + f.text;
}

// As --check prints it: a hard rule's breach is an error.
std::string findingLine(const sequence::Finding& f) {
    return (!f.breach ? "note " : f.hard ? "error " : "breach ") + ruleLine(f);
}

}  // namespace

bool isSequenceOption(std::string_view option) {
    for (std::string_view known : kOptions) {
        if (option == known) return true;
    }
    return false;
}

bool takesNoValue(std::string_view option) {
    return option == "--check" || option == "--force-cycle";
}

void takeSequenceOption(SequenceRequest& r, std::string_view option,
                        const std::function<std::string()>& value) {
    if (option == "--check") {
        r.check = true;
    } else if (option == "--force-cycle") {
        r.forceCycle = true;
    } else if (option == "--plan") {
        value();  // read by expandPlan
    } else if (option == "--write-plan") {
        r.writePlan = value();
    } else if (option == "--event-file") {
        r.eventFile = value();
    } else if (option == "--timer-hz") {
        r.timerHz = value();
    } else if (option == "--timer-prescaler") {
        r.timerPrescaler = value();
    } else if (option == "--timer-bits") {
        r.timerBits = value();
    }
}

std::vector<std::string> expandPlan(const std::vector<std::string>& args,
                                    SequenceRequest& request) {
    std::vector<std::string> rest;
    std::optional<std::string> path;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--plan") {
            if (i + 1 >= args.size()) throw UsageError{"--plan needs a value"};
            path = args[++i];
        } else if (args[i].rfind("--plan=", 0) == 0) {
            path = args[i].substr(7);
        } else {
            rest.push_back(args[i]);
        }
    }
    if (!path) return rest;
    planfile::BeaconPlan plan;
    try {
        plan = planfile::readPlanFile(*path);
    } catch (const planfile::PlanError& error) {
        throw UsageError{error.what()};
    }
    std::vector<std::string> all = planArgs(plan, rest, request);
    request.plan = plan;
    all.insert(all.end(), rest.begin(), rest.end());
    return all;
}

void writePlanFile(const SequenceRequest& request, const model::MainWindowModel& model,
                   const FirmwareRequest& firmware, const ChipRequest& chip,
                   const beacon::MessageInputs& messages) {
    using run::Field;
    planfile::BeaconPlan plan;
    auto& f = plan.fields;
    f.refIn = model.fieldText(Field::RefIn);
    f.pll = std::string(model.pllText());
    f.rfMult = model.fieldText(Field::RFMult);
    f.output = model.fieldText(Field::Foutput);
    f.tone = model.fieldText(Field::ToneFreq);
    f.shift = model.fieldText(Field::RTTYShift);
    f.mode = model.modeText();
    f.comment = model.fieldText(Field::Comment);
    f.file = given(model.fieldText(Field::FileName));
    plan.dds = {firmware.dds, firmware.clock, firmware.refMult, firmware.format};
    plan.calibration = {chip.ppm, chip.ppb, chip.measured, chip.measuredAt};
    auto& m = plan.messages;
    m = {given(messages.jt), given(messages.wspr), given(messages.fsk441), given(messages.pi4),
         given(messages.cw), given(messages.rtty), std::nullopt,           std::nullopt};
    if (m.cw) m.cwWpm = messages.cwWpm;
    if (m.pi4) m.pi4AudioHz = messages.pi4AudioHz;
    plan.sequence = request.sequence;
    plan.timer = timerOf(request);
    listing::writeWholeFile(*request.writePlan, planfile::writePlan(plan),
                            "Check --write-plan and the free space of the disk.");
}

void checkSequenceRequest(const SequenceRequest& request) {
    const auto timer = timerOf(request);
    if (!request.sequence && (timer || request.check || request.forceCycle || request.eventFile)) {
        throw UsageError{
            "--check, --force-cycle, --event-file and --timer-hz need a plan file with a cycle "
            "([cycle] and [[segment]]): give --plan FILE"};
    }
}

std::optional<CycleResult> computeCycle(const SequenceRequest& request,
                                        const std::vector<beacon::EncodedMessage>& messages,
                                        double cwWpm) {
    const auto timer = timerOf(request);
    if (!request.sequence) return std::nullopt;
    std::vector<firmware::MessageTable> tables;
    for (const beacon::EncodedMessage& m : messages) tables.push_back(m.table);
    CycleResult result;
    result.cycle = sequence::buildCycle(*request.sequence, tables, cwWpm);
    result.findings = sequence::checkCycle(result.cycle, cwWpm);
    if (!request.check && !request.forceCycle && sequence::anyHardBreach(result.findings)) {
        std::string refusal;
        for (const sequence::Finding& f : result.findings) {
            if (f.breach && f.hard) refusal.append(refusal.empty() ? "" : "; ").append(f.text);
        }
        throw sequence::SequenceError(
            refusal + " (no file is written for such a cycle: change it, or give --force-cycle)");
    }
    if (timer) result.timer = sequence::timerReloads(result.cycle, *timer);
    return result;
}

int printFindings(const CycleResult& result, bool json, std::FILE* out) {
    const bool breach = sequence::anyBreach(result.findings);
    if (json) {
        const nlohmann::json object = {{"findings", cycleJson(result)["findings"]},
                                       {"breach", breach}};
        const std::string text = object.dump() + "\n";
        std::fwrite(text.data(), 1, text.size(), out);
    } else {
        for (const sequence::Finding& f : result.findings) {
            std::fprintf(out, "%s\n", findingLine(f).c_str());
        }
    }
    return breach ? 1 : 0;
}

std::string cycleHeaderSection(const CycleResult& result, std::string_view prefix) {
    std::string forced;
    for (const sequence::Finding& f : result.findings) {
        if (f.breach && f.hard) forced += " * " + ruleLine(f) + "\n";
    }
    if (!forced.empty()) {
        forced =
            "/* Written with --force-cycle: this cycle breaks a rule that spoils other\n"
            " * transmissions or every decode:\n" +
            forced + " */\n";
    }
    return forced +
           sequence::cEventSection(result.cycle, result.timer ? &*result.timer : nullptr, prefix);
}

void reportBreaches(const CycleResult& result, std::FILE* err) {
    for (const sequence::Finding& f : result.findings) {
        if (!f.breach) continue;
        std::fprintf(err, "warning: breach %s%s\n", ruleLine(f).c_str(),
                     f.hard ? " (written as --force-cycle asks)" : "");
    }
}

std::string eventFileBytes(const CycleResult& result) {
    std::string bytes;
    listing::RecordingChannel channel(bytes);
    channel.writeLine("");
    for (const sequence::Finding& f : result.findings) {
        if (f.breach && f.hard) channel.writeLine(";written with --force-cycle: " + ruleLine(f));
    }
    for (const std::string& line :
         sequence::asmEventLines(result.cycle, result.timer ? &*result.timer : nullptr)) {
        channel.writeLine(line);
    }
    return bytes;
}

nlohmann::json cycleJson(const CycleResult& result) {
    using nlohmann::json;
    const sequence::Cycle& c = result.cycle;
    json segments = json::array();
    for (const sequence::PlacedSegment& s : c.segments) {
        segments.push_back({{"kind", sequence::kindName(s.kind)},
                            {"start", s.start.text()},
                            {"end", s.end.text()},
                            {"table", s.table}});
    }
    json events = json::array();
    for (std::size_t i = 0; i < c.events.size(); ++i) {
        const sequence::Event& e = c.events[i];
        json event = {
            {"at_us", e.micros()},  {"at", e.at.text()}, {"kind", sequence::eventName(e.kind)},
            {"segment", e.segment}, {"index", e.index},  {"tone", e.tone},
            {"key_down", e.keyDown}};
        if (result.timer) {
            const sequence::Reload& r = result.timer->reloads[i];
            event["ticks_before"] = r.ticks;
            event["wraps"] = r.wraps;
            event["rest"] = r.rest;
        }
        events.push_back(event);
    }
    json findings = json::array();
    for (const sequence::Finding& f : result.findings) {
        findings.push_back({{"rule", sequence::ruleName(f.rule)},
                            {"breach", f.breach},
                            {"hard", f.hard},
                            {"at", f.at.toDouble()},
                            {"text", f.text}});
    }
    json object = {{"cycle_seconds", c.length.num()},
                   {"slots", c.slotCount},
                   {"slot", c.slot},
                   {"segments", segments},
                   {"events", events},
                   {"findings", findings}};
    if (result.timer) {
        object["timer"] = {{"hz", result.timer->timer.hz},
                           {"prescaler", result.timer->timer.prescaler},
                           {"bits", result.timer->timer.bits},
                           {"tail_ticks", result.timer->tail.ticks},
                           {"carry_num", result.timer->carry.num()},
                           {"carry_den", result.timer->carry.den()},
                           {"worst_error_ns", result.timer->worstError.toDouble() * 1e9}};
    }
    return object;
}

}  // namespace meridel::cli
