#include "model/sequence_model.h"

#include <fstream>

#include "beacon/message_plan.h"
#include "modes/symbol_table.h"
#include "sequence/rule_check.h"

namespace meridel::model {
namespace {

using run::Field;

}  // namespace

std::optional<std::string> SequenceModel::open(const std::filesystem::path& file,
                                               MainWindowModel& main) {
    try {
        plan_ = planfile::readPlanFile(file.string());
    } catch (const planfile::PlanError& error) {
        return error.what();
    }
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

std::optional<std::string> SequenceModel::compute(const MainWindowModel& main) {
    timeline_ = {};
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
