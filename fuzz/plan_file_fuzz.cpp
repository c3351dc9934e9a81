// The plan file reader over arbitrary bytes: it either gives a plan or a PlanError naming the
// file, never anything else; a plan it gives is written and read back to the same plan, and
// placing its cycle fails, if at all, with a SequenceError.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "planfile/plan_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    meridel::planfile::BeaconPlan plan;
    try {
        plan = meridel::planfile::readPlan(text, "fuzz.toml");
    } catch (const meridel::planfile::PlanError& error) {
        FUZZ_CHECK(std::string(error.what()).rfind("fuzz.toml", 0) == 0);
        return 0;
    }
    const std::string written = meridel::planfile::writePlan(plan);
    FUZZ_CHECK(meridel::planfile::readPlan(written, "again.toml") == plan);
    if (plan.sequence) {
        try {
            const auto cycle = meridel::sequence::buildCycle(*plan.sequence, {}, 12);
            FUZZ_CHECK(cycle.segments.size() == plan.sequence->segments.size());
        } catch (const meridel::sequence::SequenceError&) {
        } catch (const meridel::sequence::RationalOverflow&) {
        }
    }
    return 0;
}
