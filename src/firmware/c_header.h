#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "firmware/chip_words.h"
#include "firmware/message_table.h"
#include "firmware/register_writes.h"

namespace meridel::firmware {

// A C header of the words: every tone and interval word as uint8_t bytes (most significant
// first) and as a ULL constant, with its requested and actual frequency; the AD9852/54 control
// register; the phase constant; and each message's symbols with their count and period. It is
// C99 and C++ alike, behind one include guard; arrays go to program memory on AVR (PROGMEM)
// and are plain constants elsewhere. Throws FirmwareError for a message table whose key is not
// a lower-case identifier or is repeated, that has no symbols or no positive period, or whose
// base word is not a tone word of the listing, and for a prefix that isMacroPrefix refuses.
// `program` is named as the header's maker; `prefix` starts every macro and table name and the
// include guard, so that one firmware can include the headers of several plans.
//
// Each message table also gets its own tone words, each rounded exactly from its frequency:
// one uint8_t array per tone and one array indexed by symbol in the chip's width (uint32_t, or
// uint64_t for 48-bit words) with a macro `..._TONE_FTW_AT(n)` that reads it from program
// memory; the error of every tone at the antenna, the worst of them and the spacing error.
//
// `extras` adds the clock correction the words were made with and, with a set-up, the chip's
// register writes: the set-up, then the writes of each tone word.
struct ClockNote {
    double ppb = 0;  // positive when the clock runs fast
    std::string source;
    double nominalHz = 0, correctedHz = 0;
};
// "clock corrected by ... ppb (source; positive = the clock runs fast): nominal ..., corrected ..."
std::string clockNoteText(const ClockNote& note);
struct HeaderExtras {
    std::optional<ClockNote> correction;
    std::optional<RegisterSetup> registers;
    std::string section;  // the beacon cycle's events, last inside the include guard
    // In place of the plan's comment, where that describes another plan.
    std::optional<std::string> commentNote;
};
std::string cHeader(const ChipWords& words, std::span<const MessageTable> messages = {},
                    std::string_view program = "meridel-cli", std::string_view prefix = "DDS",
                    const HeaderExtras& extras = {});

// A header above this many bytes holds more tables than the flash of a beacon's microcontroller
// takes (some 200 kB of table bytes; an ATmega328P has 32 kB, an RP2040 board 2 MB), and
// compiles slowly: a long cycle segment of short symbols, such as an hour of FSK441, does that.
inline constexpr std::size_t kHeaderWarningBytes = std::size_t{1} << 20;
// The warning for a header of `bytes`, or empty up to kHeaderWarningBytes.
std::string headerSizeWarning(std::size_t bytes);

// Upper-case letters, digits and '_', starting with a letter (a leading '_' is reserved): "DDS",
// "BAND_2M".
bool isMacroPrefix(std::string_view prefix);

}  // namespace meridel::firmware
