#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace meridel::firmware {

// The symbols of one message, for the firmware to step through: symbol n is the tone
// `symbols[n]` steps above the listing word `base_word`, held for `symbol_seconds`.
struct MessageTable {
    std::string key;   // "jt", "wspr", ...: lower-case letters, digits and '_'
    std::string mode;  // "WSPR", "JT65B", ...
    std::string text;  // the message as sent
    std::vector<std::uint8_t> symbols;
    double symbol_seconds = 0;
    std::string base_word;  // listing word name the tones count from
};

}  // namespace meridel::firmware
