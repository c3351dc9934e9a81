// The plans of the common beacons, as the example plan files in examples/ have them.
#pragma once

#include <span>
#include <string_view>

namespace meridel::planfile {

struct PlanTemplate {
    std::string_view name;  // "iaru-mixed": the example's file name without .toml
    std::string_view text;  // the file, byte for byte
};

// In the order a user meets them: the mixed-mode minute first, the classic beacon last.
std::span<const PlanTemplate> planTemplates();

}  // namespace meridel::planfile
