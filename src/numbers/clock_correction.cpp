#include "numbers/clock_correction.h"

namespace meridel::numbers {
namespace {

constexpr long long kFactorDen = 1000000000000000;

std::optional<Rational> withinLimit(const Rational& factor) {
    if ((factor - Rational(1)).abs() > Rational(kMaxCorrectionPpm, 1000000)) return std::nullopt;
    return factor;
}

std::optional<Rational> factorFromParts(const Rational& parts, long long perWhole) {
    return withinLimit(Rational(1) + parts / Rational(perWhole));
}

}  // namespace

std::optional<Rational> factorFromPpm(const Rational& ppm) {
    return factorFromParts(ppm, 1000000);
}

std::optional<Rational> factorFromPpb(const Rational& ppb) {
    return factorFromParts(ppb, 1000000000);
}

std::optional<Rational> factorFromMeasurement(const Rational& expectedHz,
                                              const Rational& measuredHz) {
    if (expectedHz <= Rational(0) || measuredHz <= Rational(0)) return std::nullopt;
    return withinLimit(measuredHz / expectedHz);
}

Rational correctedClock(const Rational& nominalHz, const Rational& factor) {
    // Both rounded first (to the microhertz, and to 10^-15), so the product stays well inside
    // the exact range whatever fractions they came as.
    const Rational product = roundedTo(nominalHz, 1000000) * roundedTo(factor, kFactorDen);
    return roundedTo(product, 1000000);
}

Rational partsPerBillion(const Rational& factor) {
    return (factor - Rational(1)) * Rational(1000000000);
}

}  // namespace meridel::numbers
