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
};

// The id (run::RunWord::id) of the interval word a table's tone numbers step by; empty for the
// CW and RTTY tables, which key one or two words instead of counting.
inline std::string_view intervalWordId(const MessageTable& m) {
    if (m.key == "jt") return m.mode.rfind("JT65", 0) == 0 ? "JT65_INTERVAL" : "JT4_INTERVAL";
    if (m.key == "wspr") return "WSPR_INTERVAL";
    if (m.key == "fsk441") return "FSK441_INTERVAL";
    if (m.key == "pi4") return "PI4_INTERVAL";
    return {};
}

}  // namespace meridel::firmware
