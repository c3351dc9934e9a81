#pragma once

#include <optional>

#include "numbers/rational.h"

namespace meridel::numbers {

// A clock correction is the factor true clock / nominal clock, applied before any word is
// computed. Sign convention: a positive ppm or ppb means the clock runs fast (a word comes out
// high), so the true clock is nominal x (1 + ppm / 10^6).

// The largest correction a real clock needs. Crystals, TCXOs and oscillator modules are sold
// within +/-100 ppm at most and age a few ppm a year; ten times that leaves room for any part,
// while the usual slips (a reading in MHz or kHz taken for Hz, a reading at the chip taken for
// one after an RF multiplier, a harmonic) are off by far more and must not pass as corrections.
inline constexpr int kMaxCorrectionPpm = 1000;

// nullopt for a correction beyond +/-kMaxCorrectionPpm.
std::optional<Rational> factorFromPpm(const Rational& ppm);
std::optional<Rational> factorFromPpb(const Rational& ppb);

// From a measurement of one word's output: what the word makes at the nominal clock, and what
// a counter read (both at the same point: at the chip, or both at the antenna). nullopt unless
// both are above 0 and the reading is within kMaxCorrectionPpm of what was expected.
std::optional<Rational> factorFromMeasurement(const Rational& expectedHz,
                                              const Rational& measuredHz);

// The clock to compute words with: nominal x factor, to the microhertz.
Rational correctedClock(const Rational& nominalHz, const Rational& factor);

// The factor as parts per billion, positive when the clock runs fast.
Rational partsPerBillion(const Rational& factor);

}  // namespace meridel::numbers
