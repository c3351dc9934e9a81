#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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
    // A character code's period on air with its start and stop bits (RTTY); 0 for tone and key
    // tables, whose symbol is the whole period.
    double character_seconds = 0;
};

// The id of the interval word (run::RunWord::id) that a table's tone numbers step by; empty for
// key states (CW) and character codes (RTTY).
std::string intervalIdOf(const MessageTable& m);

// What a symbol of the table means to the firmware, naming the listing's words: "tone n = WSPR
// Base + n x WSPR Interval", CW key states, RTTY's framing of an ITA2 code.
std::string symbolMeaning(const MessageTable& m, std::string_view intervalName);

}  // namespace meridel::firmware
