#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/chip_words.h"
#include "firmware/message_table.h"
#include "firmware/tone_words.h"

namespace meridel::firmware {

// A mode whose tones the firmware reaches as a base word plus n interval words.
struct ToneSet {
    std::string_view baseId;
    std::string_view intervalId;
    int tones;  // n runs from 0 to tones - 1
};
// Every such mode of a run; a run holds the sets whose words it has.
std::span<const ToneSet> toneSets();
const ToneSet* toneSetOfBase(std::string_view baseId);

// How far the farthest tone of a set lies from where it should, as a fraction of the tone
// spacing: above kStepWarnFraction it is worth a warning, above kStepRefuseFraction (or with an
// interval word of 0) a receiver decodes the wrong tone, so no words are given.
inline constexpr double kStepWarnFraction = 0.01;
inline constexpr double kStepRefuseFraction = 0.5;
enum class StepVerdict { Fine, Warn, Refuse };
StepVerdict stepVerdict(double offFraction, bool zeroInterval);

// What the words ask of the chip and of the firmware that steps them: the chip's limits, tones
// off their place as base + n x interval, a phase constant the chip cannot hold. A refusal means
// the words would put the beacon off its frequencies; the writers then write nothing.
struct WordChecks {
    std::vector<std::string> warnings;
    std::vector<std::string> refusals;
};
// With message tables (given where the output carries their word per tone), each table's own
// tone words are checked too: a tone off by more than kOwnWordWarnFraction of the spacing is a
// warning, by more than kToneRefuseFraction a refusal; and a table's mode stepped by its
// interval word is then only warned about.
WordChecks checkWords(const ChipWords& words, std::span<const MessageTable> tables = {});

// Per-tone words are each within half a chip step of their tone; past a quarter of the spacing
// neighbouring tones overlap in a receiver's bins. toneVerdict marks a tone past
// kToneWarnFraction for the eye; the checks warn only past kOwnWordWarnFraction, where a
// receiver's matched bin loses 0.14 dB (sinc of the fraction): half a step of a 180 MHz AD9851,
// 0.014 of WSPR's spacing, is the chip at its best, not at its limit.
inline constexpr double kToneWarnFraction = 0.01;
inline constexpr double kOwnWordWarnFraction = 0.1;
inline constexpr double kToneRefuseFraction = 0.25;
StepVerdict toneVerdict(double offFraction, double warnFraction = kToneWarnFraction);

}  // namespace meridel::firmware
