#include "run/tone_words.h"

#include "numbers/checked_math.h"
#include "numbers/tuning_word.h"

namespace meridel::run {
using namespace numbers::checked;

double offsetToneHz(double offsetHz, std::int32_t rfMult, double ddsCarrierHz) {
    return add(div(offsetHz, rfMult), ddsCarrierHz);
}

double toneWordValue(double hz, double clockHz) {
    return mul(div(hz, clockHz), numbers::kTuningWordScale);
}

double intervalWordValue(double spacingHz, std::int32_t multiplier, std::int32_t rfMult,
                         double clockHz) {
    return mul(mul(div(div(spacingHz, clockHz), rfMult), numbers::kTuningWordScale), multiplier);
}

}  // namespace meridel::run
