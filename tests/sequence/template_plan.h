// A plan file of examples/ read and its messages encoded, as meridel-cli does before a run.
#pragma once

#include <string>
#include <vector>

#include "planfile/plan_file.h"

namespace meridel::testing {

struct LoadedPlan {
    planfile::BeaconPlan plan;
    std::vector<firmware::MessageTable> tables;
    double cwWpm = 12;
    sequence::Cycle cycle() const;
};

LoadedPlan loadPlan(const planfile::BeaconPlan& plan);
LoadedPlan loadTemplate(const std::string& name);  // "iaru-mixed" reads examples/iaru-mixed.toml

}  // namespace meridel::testing
