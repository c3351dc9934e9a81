#include "model/sequence_model.h"

#include <fstream>
#include <utility>

#include "beacon/message_plan.h"
#include "modes/symbol_table.h"
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

}  // namespace

std::optional<std::string> SequenceModel::open(const std::filesystem::path& file,
                                               MainWindowModel& main) {
    try {
        return adopt(planfile::readPlanFile(file.string()), main);
    } catch (const planfile::PlanError& error) {
        return error.what();
    }
}

std::vector<std::string> SequenceModel::templateNames() {
    std::vector<std::string> names;
    for (const planfile::PlanTemplate& t : planfile::planTemplates()) names.emplace_back(t.name);
    return names;
}

std::optional<std::string> SequenceModel::pickTemplate(const std::string& name,
                                                       MainWindowModel& main) {
    for (const planfile::PlanTemplate& t : planfile::planTemplates()) {
        if (t.name != name) continue;
        try {
            return adopt(planfile::readPlan(t.text, name + ".toml"), main);
        } catch (const planfile::PlanError& error) {
            return error.what();
        }
    }
    return "There is no template " + name + "; pick one of the list.";
}

std::optional<std::string> SequenceModel::adopt(planfile::BeaconPlan plan, MainWindowModel& main) {
    plan_ = std::move(plan);
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

std::optional<std::string> SequenceModel::save(const std::filesystem::path& file,
                                               const MainWindowModel& main) const {
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
    return std::nullopt;
}

std::vector<SegmentRow> SequenceModel::segmentRows() const {
    std::vector<SegmentRow> rows;
    if (!plan_.sequence) return rows;
    const auto text = [](const std::optional<Rational>& t) { return t ? t->text() : ""; };
    for (const sequence::Segment& s : plan_.sequence->segments) {
        rows.push_back({std::string(sequence::kindName(s.kind)),
                        s.start ? s.start->text() : std::string(kAfterPrevious), text(s.length),
                        text(s.end)});
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
    if (at > candidate.segments.size()) return "There is no place " + std::to_string(at + 1) + ".";
    sequence::Segment pause;
    pause.length = Rational(1);
    candidate.segments.insert(candidate.segments.begin() + static_cast<std::ptrdiff_t>(at), pause);
    return apply(std::move(candidate), "add " + segmentName(at), main);
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
