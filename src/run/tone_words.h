#pragma once

#include <cstdint>
#include <optional>

#include "numbers/rational.h"

namespace meridel::run {

// The listing's formulas for a tone and a step, in its order of operations, for every word
// computed from a plan (the listing's own, and words such as PI4's that it does not hold).
// Each step is checked: a failure throws numbers::ArithmeticError.

// A tone `offsetHz` above the carrier at the beacon's RF output lies offsetHz / R above the
// carrier at the DDS output.
double offsetToneHz(double offsetHz, std::int32_t rfMult, double ddsCarrierHz);

// The same tone exactly: the carrier as the 15-digit decimal the listing states, plus the offset
// (a mode's binary fraction or a field's decimal, both exact in 15 digits) over R. nullopt for
// values no plan has (beyond 10^25 Hz, or R = 0).
std::optional<numbers::Rational> exactOffsetToneHz(double offsetHz, std::int32_t rfMult,
                                                   double ddsCarrierHz);
// A step `spacingHz` at the RF output, exactly, at the DDS output.
std::optional<numbers::Rational> exactStepHz(double spacingHz, std::int32_t rfMult);

// The unrounded 48-bit word of a frequency at the DDS output: hz / Fclk x 2^48.
double toneWordValue(double hz, double clockHz);

// The unrounded step between two tones `spacingHz` apart at the RF output, times `multiplier`:
// spacing / Fclk / R x 2^48 x multiplier.
double intervalWordValue(double spacingHz, std::int32_t multiplier, std::int32_t rfMult,
                         double clockHz);

}  // namespace meridel::run
