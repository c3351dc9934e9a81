#include "firmware/chip_words.h"

#include <cmath>

#include "numbers/checked_math.h"
#include "numbers/decimal_text.h"
#include "numbers/tuning_word.h"

namespace meridel::firmware {
namespace {

constexpr int kListingPhaseBits = 16;  // the PHASE180 line's two bytes

ChipWord convert(const run::RunWord& word, const dds::Chip& chip, double clockHz) {
    std::uint64_t ftw = word.ftw;
    if (!chip.picListing) {
        const auto exact = numbers::frequencyWord(word.requestedHz, clockHz, chip.wordBits);
        if (!exact) {
            throw FirmwareError("the " + word.name + " word (" +
                                numbers::plainDecimalText(word.requestedHz) +
                                " Hz) cannot be made by the " + std::string(chip.name) +
                                " at a clock of " + numbers::plainDecimalText(clockHz / 1e6) +
                                " MHz: every frequency must lie from 0 Hz to below the clock");
        }
        ftw = *exact;
    }
    return {word.id,
            word.name,
            word.requestedHz,
            ftw,
            numbers::wordFrequency(ftw, clockHz, chip.wordBits),
            word.exactHz};
}

}  // namespace

ChipWords chipWords(const run::RunWords& words, const dds::Chip& chip, std::optional<int> refMult) {
    ChipWords out;
    out.chip = &chip;
    out.clockHz = words.clockHz;
    out.refMult = refMult;
    out.plan = words.plan;
    out.rfMult = words.rfMult;
    out.pllMult = words.pllMult;
    for (const run::RunWord& w : words.tones) out.tones.push_back(convert(w, chip, out.clockHz));
    for (const run::RunWord& w : words.intervals) {
        out.intervals.push_back(convert(w, chip, out.clockHz));
    }
    if (chip.picListing) {
        out.controlByte = words.controlByte;
        out.phaseConstant = words.phaseConstant;
        out.phaseBits = kListingPhaseBits;
    } else {
        // As the listing's PHASE180: half a turn of the chip's phase word, divided by RF Mult.
        // The run has checked RF Mult is not 0.
        const double turn = std::ldexp(1.0, chip.phaseBits);
        out.phaseConstant =
            numbers::roundedWord(turn / static_cast<double>(words.rfMult) / 2.0, chip.phaseBits);
        out.phaseBits = chip.phaseBits;
    }
    return out;
}

bool hasW0Byte(const dds::Chip& chip) {
    return chip.wireOrder == dds::WireOrder::LsbFirstSerial;
}

std::uint8_t w0Byte(const ChipWords& words, std::uint64_t phase) {
    constexpr int kPhaseShift = 3;
    constexpr int kSixTimesMultiplier = 6;
    const bool sixTimes = dds::hasMultiplier(*words.chip) && words.refMult == kSixTimesMultiplier;
    const std::uint64_t mask = (std::uint64_t{1} << words.chip->phaseBits) - 1;
    return static_cast<std::uint8_t>(((phase & mask) << kPhaseShift) | (sixTimes ? 1U : 0U));
}

}  // namespace meridel::firmware
