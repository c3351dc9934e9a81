#pragma once

#include <optional>

#include "numbers/rational.h"

namespace meridel::numbers {

// A clock correction is the factor true clock / nominal clock, applied before any word is
// computed. Sign convention: a positive ppm or ppb means the clock runs fast (a word comes out
// high), so the true clock is nominal x (1 + ppm / 10^6).

// nullopt for a correction of -10^6 ppm or below (a clock at or below 0 Hz).
std::optional<Rational> factorFromPpm(const Rational& ppm);
std::optional<Rational> factorFromPpb(const Rational& ppb);

// From a measurement of one word's output: what the word makes at the nominal clock, and what
// a counter read (both at the same point: at the chip, or both at the antenna). nullopt unless
// both are above 0.
std::optional<Rational> factorFromMeasurement(const Rational& expectedHz,
                                              const Rational& measuredHz);

// The clock to compute words with: nominal x factor, to the microhertz.
Rational correctedClock(const Rational& nominalHz, const Rational& factor);

// The factor as parts per billion, positive when the clock runs fast.
Rational partsPerBillion(const Rational& factor);

}  // namespace meridel::numbers
