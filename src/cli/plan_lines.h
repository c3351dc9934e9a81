// Errors about a value a plan file gave name the file's line, although they come to light only
// when the plan's options are checked or computed.
#pragma once

#include <string>
#include <vector>

#include "planfile/plan_file.h"

namespace meridel::cli {

// "beacon.toml:12: dds.clock: " when `message` is about a value that `plan` gave and the command
// line `args` did not; empty otherwise. A usage error begins with the option it is about, a
// message error with the mode ("WSPR message ..."), a cycle error with "segment N", "cycle" or
// "slot".
std::string planLineOf(const planfile::BeaconPlan& plan, const std::vector<std::string>& args,
                       const std::string& message);

}  // namespace meridel::cli
