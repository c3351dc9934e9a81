#pragma once

#include <optional>
#include <string>

#include "run/calculation_run.h"

namespace meridel::testing {

// A plan as the window's fields take it.
struct PlanFields {
    const char *refIn, *pll, *output, *rfMult, *tone, *shift, *mode;
};

// One run of the plan on a first-start window without a file name: `words` is replaced when the
// run completes, and `listing` (when given) receives the bytes the target got.
std::optional<run::RunFailure> runPlan(const PlanFields& plan, run::RunWords& words,
                                       std::string* listing = nullptr);

// round(hz x 2^bits / clock), ties up, from the doubles' exact binary values in 128-bit
// integers: the reference the word encoders are checked against.
std::uint64_t exactWord(double hz, double clock, int bits);

}  // namespace meridel::testing
