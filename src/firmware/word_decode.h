#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dds/chips.h"

namespace meridel::firmware {

struct DecodedWord {
    std::string bytes;  // as the listing spells them
    std::uint64_t ftw;
    double hz;
    std::string note;  // what the chip does with the word when that is not `hz`, or empty
};

// Words already in a firmware, read as words of the chip at its clock. Takes what users paste:
// the listing's "0x40,0x00,..." (several, separated by blanks or ";"), whole lines of the listing
// or the results window (a ";" that no word follows starts a comment; "----" and "--" lines and
// the control register and phase constant lines are skipped) and the C header's "{0x40, 0x00, ...}" and "0x400049FCCE47ULL". Each word has the
// chip's tuning-word size or its interval-word size in bytes. A word at or above half the clock
// gets a note: the chip puts out its alias. Throws FirmwareError quoting (at most 40 characters
// of) the text that is no such word; a text without any word gives none.
std::vector<DecodedWord> decodeWords(const dds::Chip& chip, double clockHz, std::string_view text);

// The worked example that error texts point at.
inline constexpr const char* kWordExample = "0x40,0x00,0x49,0xFC,0xCE,0x47";

}  // namespace meridel::firmware
