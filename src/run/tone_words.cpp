#include "run/tone_words.h"

#include "numbers/checked_math.h"
#include "numbers/tuning_word.h"

namespace meridel::run {
using namespace numbers::checked;

double offsetToneHz(double offsetHz, std::int32_t rfMult, double ddsCarrierHz) {
    return add(div(offsetHz, rfMult), ddsCarrierHz);
}

std::optional<numbers::Rational> exactStepHz(double spacingHz, std::int32_t rfMult) {
    const auto spacing = numbers::decimalValue(spacingHz);
    if (!spacing || rfMult == 0) return std::nullopt;
    try {
        return *spacing / numbers::Rational(rfMult);
    } catch (const numbers::RationalOverflow&) {
        return std::nullopt;
    }
}

std::optional<numbers::Rational> exactOffsetToneHz(double offsetHz, std::int32_t rfMult,
                                                   double ddsCarrierHz) {
    const auto carrier = numbers::decimalValue(ddsCarrierHz);
    const auto step = exactStepHz(offsetHz, rfMult);
    if (!carrier || !step) return std::nullopt;
    try {
        return *carrier + *step;
    } catch (const numbers::RationalOverflow&) {
        return std::nullopt;
    }
}

double toneWordValue(double hz, double clockHz) {
    return mul(div(hz, clockHz), numbers::kTuningWordScale);
}

double intervalWordValue(double spacingHz, std::int32_t multiplier, std::int32_t rfMult,
                         double clockHz) {
    return mul(mul(div(div(spacingHz, clockHz), rfMult), numbers::kTuningWordScale), multiplier);
}

}  // namespace meridel::run
