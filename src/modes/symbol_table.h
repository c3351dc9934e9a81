// What every message encoder hands back: the channel symbols a transmitter steps through, one
// per symbol period, and the message as the encoder read it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "numbers/error.h"

namespace meridel::modes {

struct SymbolTable {
    std::string mode;  // "JT65B", "JT4G", "WSPR", "FSK441", "PI4", "CW", "RTTY"
    std::string text;  // upper case, blanks collapsed, ends trimmed
    // JT65: 126 tone numbers, 0 = sync tone, data symbol d -> d + 2.
    // JT4: 206 numbers 0..3.  WSPR: 162 numbers 0..3.  PI4: 146 numbers 0..3.
    // FSK441: 3 numbers 0..3 per character.  CW: key state (1 down, 0 up) per dot unit.
    // RTTY: one ITA2 code per character, LTRS/FIGS shifts included.
    std::vector<std::uint8_t> symbols;
    double symbol_seconds = 0;  // symbol period (CW: the dot unit; RTTY: one bit)
};

// A message the mode cannot carry. what() names the mode, the message, what is wrong with it
// and what would be allowed.
struct MessageError : Error {
    using Error::Error;
};

}  // namespace meridel::modes
