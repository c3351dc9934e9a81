#include "sequence/template_plan.h"

#include "beacon/message_plan.h"
#include "model/main_window_model.h"

namespace meridel::testing {

sequence::Cycle LoadedPlan::cycle() const {
    return sequence::buildCycle(*plan.sequence, tables, cwWpm);
}

LoadedPlan loadPlan(const planfile::BeaconPlan& plan) {
    LoadedPlan loaded{plan, {}, plan.messages.cwWpm.value_or(12)};
    const auto& m = plan.messages;
    beacon::MessageInputs in = planfile::messageInputs(m);
    in.cwWpm = loaded.cwWpm;
    const std::string mode = plan.fields.mode.value_or("");
    const auto& entries = model::MainWindowModel::modeEntries();
    int index = -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] == mode) index = static_cast<int>(i);
    }
    for (beacon::EncodedMessage& e : beacon::encodeMessages(in, index, mode)) {
        loaded.tables.push_back(std::move(e.table));
    }
    return loaded;
}

LoadedPlan loadTemplate(const std::string& name) {
    return loadPlan(planfile::readPlanFile(MERIDEL_EXAMPLES "/" + name + ".toml"));
}

}  // namespace meridel::testing
