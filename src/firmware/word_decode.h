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
};

// Words already in a firmware, in the listing's "0x40,0x00,..." form and separated by blanks
// or ";", read as words of the chip at its clock. Throws FirmwareError naming the text that is
// not a word of the chip (its form, its byte count or its width); a text without any word
// gives none.
std::vector<DecodedWord> decodeWords(const dds::Chip& chip, double clockHz, std::string_view text);

// The worked example that error texts point at.
inline constexpr const char* kWordExample = "0x40,0x00,0x49,0xFC,0xCE,0x47";

}  // namespace meridel::firmware
