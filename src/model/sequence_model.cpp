#include "model/sequence_model.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <tuple>
#include <utility>

#include "beacon/message_plan.h"
#include "modes/symbol_table.h"
#include "numbers/decimal_text.h"
#include "planfile/plan_templates.h"
#include "sequence/rule_check.h"

namespace meridel::model {
namespace {

using run::Field;
using sequence::Rational;
using sequence::SegmentKind;

constexpr int kKindCount = static_cast<int>(SegmentKind::Pause) + 1;

std::string segmentName(std::size_t at) {
    return "segment " + std::to_string(at + 1);
}

const char* fieldName(SegmentField field) {
    switch (field) {
        case SegmentField::Kind:
            return "kind";
        case SegmentField::Start:
            return "start";
        case SegmentField::Length:
            return "length";
        case SegmentField::End:
            break;
    }
    return "end";
}

constexpr std::string_view kAfterPrevious = "after previous";

// A placed time in seconds: exact when it has a short decimal, else to the millisecond.
std::string placedText(const Rational& seconds) {
    const std::string exact = seconds.text();
    if (exact.find('/') == std::string::npos && exact.size() <= 10) return exact;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.3f", seconds.toDouble());
    return buffer;
}

}  // namespace

SequenceModel::ReadPlan SequenceModel::read(const std::filesystem::path& file) {
    ReadPlan out;
    out.name = file.filename().string();
    try {
        out.plan = planfile::readPlanFile(file.string());
    } catch (const planfile::PlanError& error) {
        out.error = error.what();
    }
    return out;
}

std::vector<std::string> SequenceModel::templateNames() {
    std::vector<std::string> names;
    for (const planfile::PlanTemplate& t : planfile::planTemplates()) names.emplace_back(t.name);
    return names;
}

SequenceModel::ReadPlan SequenceModel::readTemplate(const std::string& name) {
    ReadPlan out;
    out.name = name + ".toml";
    for (const planfile::PlanTemplate& t : planfile::planTemplates()) {
        if (t.name != name) continue;
        try {
            out.plan = planfile::readPlan(t.text, out.name);
        } catch (const planfile::PlanError& error) {
            out.error = error.what();
        }
        return out;
    }
    out.error = "There is no template " + name + "; pick one of the list.";
    return out;
}

std::vector<std::string> SequenceModel::replacedFields(const planfile::BeaconPlan& plan,
                                                       const MainWindowModel& main) {
    const auto& f = plan.fields;
    const std::tuple<const char*, const std::optional<std::string>&, std::string> fields[] = {
        {"Ref. Input Freq", f.refIn, main.fieldText(Field::RefIn)},
        {"PLL Clock Multiplier", f.pll, std::string(main.pllText())},
        {"Output carrier", f.output, main.fieldText(Field::Foutput)},
        {"RF Mult", f.rfMult, main.fieldText(Field::RFMult)},
        {"Tone Freq", f.tone, main.fieldText(Field::ToneFreq)},
        {"RTTY Shift", f.shift, main.fieldText(Field::RTTYShift)},
        {"Mode", f.mode, main.modeText()},
        {"Comment", f.comment, main.fieldText(Field::Comment)},
        {"File Name", f.file, main.fieldText(Field::FileName)},
    };
    std::vector<std::string> changes;
    for (const auto& [label, wanted, now] : fields) {
        if (wanted && *wanted != now) {
            changes.push_back(std::string(label) + ": \"" + now + "\" -> \"" + *wanted + "\"");
        }
    }
    return changes;
}

std::optional<std::string> SequenceModel::take(ReadPlan read, MainWindowModel& main) {
    if (!read.plan) return read.error;
    plan_ = std::move(*read.plan);
    name_ = std::move(read.name);
    const auto& f = plan_.fields;
    const auto set = [&main](Field field, const std::optional<std::string>& text) {
        if (text) main.setFieldText(field, *text);
    };
    set(Field::RefIn, f.refIn);
    if (f.pll) main.selectPllText(*f.pll);
    set(Field::RFMult, f.rfMult);
    set(Field::Foutput, f.output);
    set(Field::ToneFreq, f.tone);
    if (f.shift) main.typeRttyShiftText(*f.shift);
    if (f.mode) main.typeModeText(*f.mode);
    set(Field::Comment, f.comment);
    set(Field::FileName, f.file);
    return compute(main);
}

std::optional<std::string> SequenceModel::open(const std::filesystem::path& file,
                                               MainWindowModel& main) {
    return take(read(file), main);
}

std::optional<std::string> SequenceModel::pickTemplate(const std::string& name,
                                                       MainWindowModel& main) {
    return take(readTemplate(name), main);
}

std::filesystem::path SequenceModel::planFileName(std::filesystem::path file) {
    std::string suffix = file.extension().string();
    for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (suffix != ".toml") file += ".toml";
    return file;
}

std::string SequenceModel::cycleText() const {
    const Timeline& t = timeline_;
    std::string text = "Cycle of " + numbers::trimmedDecimalText(t.length) + " s";
    if (t.slotCount > 1) {
        text += ", sent in slot " + std::to_string(t.slot) + " of " + std::to_string(t.slotCount) +
                ": from " + numbers::trimmedDecimalText(t.length * (t.slot - 1)) + " s of every " +
                numbers::trimmedDecimalText(t.length * t.slotCount) + " s";
    }
    return text;
}

std::optional<std::string> SequenceModel::save(const std::filesystem::path& chosen,
                                               const MainWindowModel& main) {
    const std::filesystem::path file = planFileName(chosen);
    planfile::BeaconPlan plan = plan_;
    plan.fields = {main.fieldText(Field::RefIn),
                   std::string(main.pllText()),
                   main.fieldText(Field::RFMult),
                   main.fieldText(Field::Foutput),
                   main.fieldText(Field::ToneFreq),
                   main.fieldText(Field::RTTYShift),
                   main.modeText(),
                   main.fieldText(Field::Comment),
                   std::nullopt};
    // An empty name is no file: a plan file says so by leaving the key out.
    if (!main.fieldText(Field::FileName).empty())
        plan.fields.file = main.fieldText(Field::FileName);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << planfile::writePlan(plan);
    out.close();
    if (!out) return "The plan file " + file.string() + " cannot be written: check its folder.";
    name_ = file.filename().string();
    return std::nullopt;
}

std::vector<SegmentRow> SequenceModel::segmentRows() const {
    std::vector<SegmentRow> rows;
    if (!plan_.sequence) return rows;
    const auto text = [](const std::optional<Rational>& t) { return t ? t->text() : ""; };
    const auto& segments = plan_.sequence->segments;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const sequence::Segment& s = segments[i];
        SegmentRow row{std::string(sequence::kindName(s.kind)),
                       s.start ? s.start->text() : std::string(kAfterPrevious), text(s.length),
                       text(s.end)};
        if (i < placed_.size()) {
            const sequence::PlacedSegment& p = placed_[i];
            row.lengthPlaced = !s.length;
            if (row.lengthPlaced) row.length = placedText(p.end - p.start);
            row.endPlaced = !s.end;
            if (row.endPlaced) row.end = placedText(p.end);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::string> SequenceModel::kindNames() {
    std::vector<std::string> names;
    for (int k = 0; k < kKindCount; ++k) {
        names.emplace_back(sequence::kindName(static_cast<SegmentKind>(k)));
    }
    return names;
}

std::optional<std::string> SequenceModel::addSegment(std::size_t at, const MainWindowModel& main) {
    sequence::SequencePlan candidate = plan_.sequence.value_or(sequence::SequencePlan{});
    const std::size_t count = candidate.segments.size();
    if (at > count) return "There is no place " + std::to_string(at + 1) + ".";
    sequence::Segment pause;
    pause.length = Rational(1);
    if (!error_ && placed_.size() == count) {
        // The first place from `at` on, then from the start, that has free time.
        std::optional<std::size_t> place;
        for (std::size_t k = 0; k <= count && !place; ++k) {
            if (roomAt((at + k) % (count + 1)) > Rational(0)) place = (at + k) % (count + 1);
        }
        if (!place) {
            return "Cannot add a segment: the cycle has no free time; shorten or remove a "
                   "segment first.";
        }
        at = *place;
        pause.length = std::min(Rational(1), roomAt(at));
    }
    candidate.segments.insert(candidate.segments.begin() + static_cast<std::ptrdiff_t>(at), pause);
    return apply(std::move(candidate), "add " + segmentName(at), main);
}

Rational SequenceModel::roomAt(std::size_t at) const {
    const auto& segments = plan_.sequence->segments;
    std::size_t next = at;
    while (next < segments.size() && !segments[next].start) ++next;
    const Rational limit = next < segments.size() ? placed_[next].start : plan_.sequence->cycle;
    const Rational chainEnd = next > 0 ? placed_[next - 1].end : Rational(0);
    return limit - chainEnd;
}

std::optional<std::string> SequenceModel::removeSegment(std::size_t at,
                                                        const MainWindowModel& main) {
    if (!plan_.sequence || at >= plan_.sequence->segments.size()) {
        return "There is no " + segmentName(at) + " to remove.";
    }
    sequence::SequencePlan candidate = *plan_.sequence;
    candidate.segments.erase(candidate.segments.begin() + static_cast<std::ptrdiff_t>(at));
    return apply(std::move(candidate), "remove " + segmentName(at), main);
}

std::optional<std::string> SequenceModel::moveSegment(std::size_t at, int by,
                                                      const MainWindowModel& main) {
    const std::size_t count = plan_.sequence ? plan_.sequence->segments.size() : 0;
    const auto to = static_cast<std::ptrdiff_t>(at) + by;
    if (at >= count || to < 0 || static_cast<std::size_t>(to) >= count) {
        return "There is no place to move " + segmentName(at) + " to.";
    }
    sequence::SequencePlan candidate = *plan_.sequence;
    std::swap(candidate.segments[at], candidate.segments[static_cast<std::size_t>(to)]);
    return apply(std::move(candidate), "move " + segmentName(at), main);
}

std::optional<std::string> SequenceModel::editSegment(std::size_t at, SegmentField field,
                                                      const std::string& text,
                                                      const MainWindowModel& main) {
    if (!plan_.sequence || at >= plan_.sequence->segments.size()) {
        return "There is no " + segmentName(at) + ".";
    }
    sequence::SequencePlan candidate = *plan_.sequence;
    sequence::Segment& s = candidate.segments[at];
    const std::string where =
        "Segment " + std::to_string(at + 1) + ", " + fieldName(field) + ": \"" + text + "\" ";
    if (field == SegmentField::Kind) {
        const auto kind = sequence::kindNamed(text);
        if (!kind) {
            std::string names;
            for (const std::string& n : kindNames()) names.append(names.empty() ? "" : ", ") += n;
            return where + "is no kind; use " + names + ".";
        }
        // A kind of another sort keeps the segment's place: a message sets its own length, and
        // a carrier or pause takes over the length the segment had.
        if (!sequence::takesLength(*kind)) {
            s.length.reset();
            s.end.reset();
        } else if (!sequence::takesLength(s.kind) && at < placed_.size()) {
            s.length = placed_[at].end - placed_[at].start;
        }
        s.kind = *kind;
    } else {
        std::optional<Rational> value;
        Rational seconds;
        const bool none = text.empty() || (field == SegmentField::Start && text == kAfterPrevious);
        if (!none) {
            if (!Rational::fromText(text, seconds)) {
                return where +
                       "is no time; give seconds such as 25 or 59.5, or a fraction such as "
                       "73/3" +
                       (field == SegmentField::Start ? ", or leave it empty to start after the "
                                                       "previous segment."
                                                     : ", or leave it empty.");
            }
            value = seconds;
        }
        (field == SegmentField::Start    ? s.start
         : field == SegmentField::Length ? s.length
                                         : s.end) = value;
    }
    return apply(std::move(candidate),
                 std::string("change the ") + fieldName(field) + " of " + segmentName(at), main);
}

std::optional<std::string> SequenceModel::apply(sequence::SequencePlan candidate,
                                                const std::string& edit,
                                                const MainWindowModel& main) {
    const bool placedBefore = plan_.sequence && !error_;
    auto before = std::exchange(plan_.sequence, std::move(candidate));
    const auto error = compute(main);
    if (!error) return std::nullopt;
    if (!placedBefore) return error;
    plan_.sequence = std::move(before);
    compute(main);
    return "Cannot " + edit + ": " + *error;
}

std::optional<std::string> SequenceModel::compute(const MainWindowModel& main) {
    error_ = computeTimeline(main);
    return error_;
}

std::optional<std::string> SequenceModel::computeTimeline(const MainWindowModel& main) {
    timeline_ = {};
    placed_.clear();
    if (!plan_.sequence) return "The plan has no cycle: add [cycle] and [[segment]] tables.";
    const beacon::MessageInputs in = planfile::messageInputs(plan_.messages);
    try {
        std::vector<firmware::MessageTable> tables;
        for (beacon::EncodedMessage& m :
             beacon::encodeMessages(in, main.modeIndex(), main.modeText())) {
            tables.push_back(std::move(m.table));
        }
        const sequence::Cycle cycle = sequence::buildCycle(*plan_.sequence, tables, in.cwWpm);
        timeline_.length = cycle.length.toDouble();
        timeline_.slotCount = cycle.slotCount;
        timeline_.slot = cycle.slot;
        placed_ = cycle.segments;
        for (const sequence::PlacedSegment& s : cycle.segments) {
            timeline_.bars.push_back(
                {std::string(sequence::kindName(s.kind)), s.start.toDouble(), s.end.toDouble()});
        }
        std::optional<double> down;
        for (const sequence::Event& e : cycle.events) {
            if (e.keyDown && !down) down = e.at.toDouble();
            if (!e.keyDown && down) {
                timeline_.keyDown.push_back({*down, e.at.toDouble()});
                down.reset();
            }
        }
        for (const sequence::Finding& f : sequence::checkCycle(cycle, in.cwWpm)) {
            timeline_.marks.push_back({f.at.toDouble(), f.breach,
                                       std::string(sequence::ruleName(f.rule)) + ": " + f.text});
        }
    } catch (const modes::MessageError& error) {
        return error.what();
    } catch (const sequence::SequenceError& error) {
        return error.what();
    }
    return std::nullopt;
}

}  // namespace meridel::model
