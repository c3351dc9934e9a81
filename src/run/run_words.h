#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "numbers/rational.h"

namespace meridel::run {

// One word of the listing, as the run computed it.
struct RunWord {
    std::string id;      // stable C-style key of its role: "FSK441_TONE_0", "WSPR_INTERVAL"
    std::string name;    // its listing label, blanks trimmed and runs of blanks made one
    double requestedHz;  // at the DDS output: the tone, or the step of an interval word
    std::uint64_t ftw;   // the 48-bit word the listing spells (an interval line shows its low
                         // four bytes)
    // requestedHz as an exact fraction: the carrier the listing states plus the tone's offset
    // / R, without the doubles' rounding in the sum. nullopt: requestedHz is exact.
    std::optional<numbers::Rational> exactHz = std::nullopt;
};

// The plan as the window's fields stated it when the run ended.
struct PlanTexts {
    std::string comment, foutput, rfMult, fo, refIn, pll, clockFreq, tone, shift, mode;
};

// Every value a completed run put in the listing, in listing order, for writers of other
// formats: the same numbers, never computed a second time.
struct RunWords {
    PlanTexts plan;
    double clockHz = 0;
    std::int32_t rfMult = 0;
    std::int32_t pllMult = 0;
    std::vector<RunWord> tones;
    std::vector<RunWord> intervals;
    std::optional<std::int32_t> controlByte;  // nullopt where the listing says "Illegal PLL value"
    std::uint16_t phaseConstant = 0;          // the two bytes of the PHASE180 line
};

}  // namespace meridel::run
