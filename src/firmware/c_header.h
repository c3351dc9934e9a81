#pragma once

#include <span>
#include <string>
#include <string_view>

#include "firmware/chip_words.h"
#include "firmware/message_table.h"

namespace meridel::firmware {

// A C header of the words: every tone and interval word as uint8_t bytes (most significant
// first) and as a ULL constant, with its requested and actual frequency; the AD9852/54 control
// register; the phase constant; and each message's symbols with their count and period. It is
// C99 and C++ alike, behind one include guard; arrays go to program memory on AVR (PROGMEM)
// and are plain constants elsewhere. Throws FirmwareError for a message table whose key is not
// a lower-case identifier or is repeated, that has no symbols or no positive period, or whose
// base word is not a tone word of the listing. `program` is named as the header's maker;
// `section` (the beacon cycle's events) goes last, inside the include guard.
std::string cHeader(const ChipWords& words, std::span<const MessageTable> messages = {},
                    std::string_view program = "meridel-cli", std::string_view section = {});

}  // namespace meridel::firmware
