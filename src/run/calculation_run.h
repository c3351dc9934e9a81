#pragma once

#include <optional>
#include <string>

#include "listing/output_channel.h"
#include "run/form.h"
#include "run/run_words.h"

namespace meridel::run {

enum class FailureKind { Arithmetic, Output };

// Why a run ended early; the message says which value of which field, and what to change.
struct RunFailure {
    FailureKind kind;
    std::string message;
};

// One press of the Calculate button: derives the frequency plan from the form's fields, writes
// Fo and ClockFreq, opens the target (the upper-cased FileName, or the null device when it is
// empty), writes the listing header, builds the body, writes KeyFreq, forms the results text,
// writes it to the target in one piece and closes it, then marks the results fresh and disables
// the carrier adjuster. The first arithmetic or output failure ends the run (the target, when
// open, is closed so that the next run can open it again); nullopt means the run completed.
std::optional<RunFailure> runCalculation(Form& form, listing::OutputOpener& opener);
// The same run, which also hands back every word it put in the listing; `words` is replaced
// only when the run completes.
std::optional<RunFailure> runCalculation(Form& form, listing::OutputOpener& opener,
                                         RunWords& words);

}  // namespace meridel::run
