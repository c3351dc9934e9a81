#pragma once

#include <cstdint>
#include <vector>

#include "firmware/chip_words.h"
#include "firmware/message_table.h"

namespace meridel::firmware {

// One tone of a message table with a word of its own, rounded exactly from its frequency, so
// that no tone inherits the rounding error of an interval word added n times.
struct ToneWord {
    int tone = 0;               // the symbol value that selects it
    double requestedHz = 0;     // at the chip: base + tone x spacing, as the plan asks
    std::uint64_t ftw = 0;      // in the chip's width
    double actualHz = 0;        // what the chip makes of ftw
    double antennaHz = 0;       // actualHz after the RF multiplier
    double antennaErrorHz = 0;  // antennaHz - RF Mult x requestedHz
};

// The tone words of one table: tone 0 to the highest symbol it sends (so a symbol indexes the
// list directly); CW has its key-down tone only, RTTY its space (0) and mark (1).
struct TableTones {
    std::vector<ToneWord> tones;
    double spacingHz = 0;            // between neighbouring tones at the antenna; 0 for one tone
    int worstTone = 0;               // the tone farthest from its request
    double worstErrorHz = 0;         // its error at the antenna, signed
    double spacingErrorPercent = 0;  // the worst step between neighbours against the spacing
    // |worstErrorHz| / spacingHz, 0 for a single tone.
    double worstFraction() const;
};

// Throws FirmwareError when the table's base word or the word it steps by is not among the
// chip's words, or a tone cannot be made by the chip at its clock.
TableTones tableTones(const MessageTable& table, const ChipWords& words);

}  // namespace meridel::firmware
