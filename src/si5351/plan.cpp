#include "si5351/plan.h"

#include <optional>
#include <string>

#include "numbers/decimal_text.h"

namespace meridel::si5351 {
namespace {

constexpr int kMaxOutputDivider = 900;
constexpr int kMaxRDivider = 128;
constexpr std::uint32_t kMinFeedback = 15;
constexpr std::uint32_t kMaxFeedback = 90;

std::string hzText(const Rational& hz) {
    return numbers::plainDecimalText(hz.toDouble()) + " Hz";
}

// The best feedback for one tone with these dividers, nullopt when its integer part falls
// outside 15..90.
std::optional<Feedback> feedbackFor(const Rational& ratio) {
    const Rational best = numbers::bestApproximation(ratio, kMaxDenominator);
    const numbers::Int128 a = best.floor();
    if (a < kMinFeedback || a > kMaxFeedback) return std::nullopt;
    const Rational fraction = best - Rational(a);
    return Feedback{static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(fraction.num()),
                    static_cast<std::uint32_t>(fraction.den())};
}

bool pllInRange(const Rational& pllHz) {
    return pllHz >= Rational(kMinPllHz) && pllHz <= Rational(kMaxPllHz);
}

bool dividersFit(const Rational& low, const Rational& high, int divider, int r) {
    const Rational scale(divider * r);
    return pllInRange(low * scale) && pllInRange(high * scale);
}

// The plan with these dividers, nullopt when a tone cannot be made with them or when one is at
// least `beat` off (it cannot win then).
std::optional<Plan> tryDividers(const Rational& referenceHz, std::span<const Rational> tonesHz,
                                int divider, int r, const std::optional<Rational>& beat) {
    Plan p{referenceHz, divider, r, {}};
    const Rational scale(divider * r);
    for (const Rational& tone : tonesHz) {
        const Rational pll = tone * scale;
        if (!pllInRange(pll)) return std::nullopt;
        const auto feedback = feedbackFor(pll / referenceHz);
        if (!feedback) return std::nullopt;
        const Rational actual = outputHz(referenceHz, *feedback, Rational(divider), r);
        if (beat && (actual - tone).abs() >= *beat) return std::nullopt;
        p.tones.push_back({tone, *feedback, actual, actual - tone});
    }
    return p;
}

}  // namespace

Rational Plan::worstErrorHz() const {
    Rational worst;
    for (const TonePlan& t : tones) {
        if (t.errorHz.abs() > worst) worst = t.errorHz.abs();
    }
    return worst;
}

std::string accuracyNote(const Plan& plan, const Rational& toleranceHz) {
    std::size_t worst = 0;
    for (std::size_t n = 0; n < plan.tones.size(); ++n) {
        if (plan.tones[n].errorHz.abs() > plan.tones[worst].errorHz.abs()) worst = n;
    }
    const Rational off = plan.tones.at(worst).errorHz.abs();
    if (off <= toleranceHz) return {};
    const std::string why =
        plan.dividerChoices == 1
            ? "only output divider " + std::to_string(plan.outputDivider) +
                  " keeps the PLL within 600 to 900 MHz here, and no fraction with c <= 1048575 "
                  "comes closer: another crystal or clock input may"
            : "none of the " + std::to_string(plan.dividerChoices) +
                  " output dividers that keep the PLL in range does better";
    return "tone " + std::to_string(worst) + " is " +
           numbers::plainDecimalText(off.toDouble() * 1000) + " mHz off: " + why;
}

Rational outputHz(const Rational& referenceHz, const Feedback& feedback, const Rational& divider,
                  int rDivider) {
    return referenceHz * feedback.value() / (divider * Rational(rDivider));
}

Plan plan(const Rational& referenceHz, std::span<const Rational> tonesHz) {
    if (referenceHz < Rational(kMinReferenceHz) || referenceHz > Rational(kMaxReferenceHz)) {
        throw PlanError("the Si5351 reference of " + hzText(referenceHz) +
                        " cannot drive its PLL: give a crystal or clock input of 10 to 40 MHz");
    }
    if (tonesHz.empty()) throw PlanError("the Si5351 plan holds no tone");
    for (const Rational& tone : tonesHz) {
        if (tone <= Rational(0)) {
            throw PlanError("the Si5351 cannot make " + hzText(tone) + ": tones must be above 0");
        }
    }
    Rational low = tonesHz.front(), high = tonesHz.front();
    for (const Rational& tone : tonesHz) {
        if (tone < low) low = tone;
        if (tone > high) high = tone;
    }
    for (int r = 1; r <= kMaxRDivider; r *= 2) {
        std::optional<Plan> best;
        std::optional<Rational> bestWorst;
        int choices = 0;
        for (int divider = 4; divider <= kMaxOutputDivider; divider += 2) {
            if (!dividersFit(low, high, divider, r)) continue;
            ++choices;
            auto candidate = tryDividers(referenceHz, tonesHz, divider, r, bestWorst);
            if (candidate) {
                best = std::move(candidate);
                bestWorst = best->worstErrorHz();
            }
        }
        if (best) {
            best->dividerChoices = choices;
            return *best;
        }
    }
    throw PlanError(
        "no even output divider (4 to 900) and R divider (1 to 128) keeps the Si5351 "
        "PLL within 600 to 900 MHz for every tone from " +
        hzText(low) + " to " + hzText(high) + ": one output covers about 5 kHz to 225 MHz");
}

}  // namespace meridel::si5351
