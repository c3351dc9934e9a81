#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dds/chips.h"
#include "numbers/error.h"
#include "run/run_words.h"

namespace meridel::firmware {

// A word problem a writer cannot get round (a frequency the chip cannot make, a message table
// that does not fit the words); the message names the word or table and what is allowed.
class FirmwareError : public Error {
public:
    using Error::Error;
};

struct ChipWord {
    std::string id;    // "FSK441_TONE_0"
    std::string name;  // "FSK441 Tone 0", as the listing labels it
    double requestedHz;
    std::uint64_t ftw;                                        // in the chip's width
    double actualHz;                                          // what the chip makes of ftw
    std::optional<numbers::Rational> exactHz = std::nullopt;  // the run's, for tone tables
};

// A run's words for one chip: what every writer works from.
struct ChipWords {
    const dds::Chip* chip = nullptr;
    double clockHz = 0;
    // The clock as the plan names it, before a calibration moved it: the chip's rated maximum
    // is held against this one, since a crystal a few ppm fast is no faster part.
    std::optional<double> ratedClockHz;
    std::optional<int> refMult;  // the chip's reference multiplier, when one was given
    run::PlanTexts plan;
    std::int32_t rfMult = 0;
    std::int32_t pllMult = 0;
    std::vector<ChipWord> tones;
    std::vector<ChipWord> intervals;
    std::optional<std::int32_t> controlByte;  // AD9852/AD9854 only
    std::uint64_t phaseConstant = 0;          // half a turn / RF Mult, in phaseBits bits
    int phaseBits = 0;
};

// The AD9852 and AD9854 keep the listing's own words (rounded in the listing's double
// arithmetic, within one step of the exact word); every other chip gets the exact word of each
// requested frequency at the run's clock. Throws FirmwareError for a frequency below 0 or not
// below the clock.
ChipWords chipWords(const run::RunWords& words, const dds::Chip& chip,
                    std::optional<int> refMult = std::nullopt);

// The AD9850 and AD9851 take their phase in a control byte W0 sent with every word: phase in
// bits 7..3, power-down bit 2 and the two bits below clear, except the AD9851's 6x reference
// multiplier in bit 0 (set when the words were made with --ref-mult 6).
bool hasW0Byte(const dds::Chip& chip);
std::uint8_t w0Byte(const ChipWords& words, std::uint64_t phase);

}  // namespace meridel::firmware
