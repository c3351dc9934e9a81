#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "numbers/rational.h"

namespace meridel::si5351 {

using numbers::Rational;

// The largest denominator (and numerator) of a fraction the chip's 20-bit fields hold.
inline constexpr std::uint32_t kMaxDenominator = 1048575;

// The PLL feedback divider a + b/c.
struct Feedback {
    std::uint32_t a = 0, b = 0, c = 1;
    Rational value() const { return Rational(a) + Rational(b, c); }
    friend bool operator==(const Feedback&, const Feedback&) = default;
};

struct TonePlan {
    Rational requestedHz;
    Feedback feedback;
    Rational actualHz;
    Rational errorHz;  // actual - requested
};

// One transmission: PLL A follows the tones, the output multisynth (an even whole divider) and
// the R divider stay fixed, so a tone change rewrites PLL A's feedback and nothing else.
struct Plan {
    Rational referenceHz;
    int outputDivider = 0;  // 4, 6, 8, ... 900
    int rDivider = 1;       // 1, 2, 4, ... 128
    std::vector<TonePlan> tones;
    int dividerChoices = 0;  // how many output dividers kept the PLL in range with this R

    Rational worstErrorHz() const;
};

// Why the plan misses a tolerance (such as 1 mHz), naming the worst tone; empty when it does
// not miss it.
std::string accuracyNote(const Plan& plan, const Rational& toleranceHz);

// A tone set the chip cannot make; the message says why and what would work.
class PlanError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr int kMinPllHz = 600000000;
inline constexpr int kMaxPllHz = 900000000;
inline constexpr int kMinReferenceHz = 10000000;
inline constexpr int kMaxReferenceHz = 40000000;

// The frequency a setting makes: reference x feedback / (output divider x R).
Rational outputHz(const Rational& referenceHz, const Feedback& feedback, const Rational& divider,
                  int rDivider);

// Plans every tone (in Hz, exact) from a reference of 10 to 40 MHz. The dividers are the
// smallest R and, among the even output dividers that keep PLL A within 600-900 MHz for every
// tone, the one whose worst tone is nearest (the smallest on a tie); each tone's feedback is
// the best fraction with c <= 1 048 575. All of it in exact arithmetic. Throws PlanError.
Plan plan(const Rational& referenceHz, std::span<const Rational> tonesHz);

}  // namespace meridel::si5351
