#include "firmware/asm_symbols.h"

#include <cstdio>

#include "numbers/decimal_text.h"

namespace meridel::firmware {
namespace {

constexpr std::size_t kBytesPerLine = 16;

// What a symbol of each message kind means to the firmware.
std::string meaning(const MessageTable& m) {
    if (m.key == "cw") return "1 = key down on " + m.base_word + ", 0 = key up, one per dot unit";
    if (m.key == "rtty") {
        return "ITA2 codes, sent as 1 start bit (space, " + m.base_word +
               "), the 5 bits least significant first (1 = mark), 1.5 stop bits (mark)";
    }
    return "tone n = " + m.base_word + " + n x the mode's interval word";
}

}  // namespace

std::vector<std::string> asmSymbolLines(std::span<const MessageTable> messages) {
    std::vector<std::string> lines;
    for (const MessageTable& m : messages) {
        if (!lines.empty()) lines.emplace_back();
        lines.push_back(";" + m.mode + " message \"" + m.text +
                        "\": " + std::to_string(m.symbols.size()) + " symbols of " +
                        numbers::plainDecimalText(m.symbol_seconds) + " s");
        std::string meaningLine = ";";  // appended: GCC 12 -O3 warns falsely on ";" + string
        meaningLine += meaning(m);
        lines.push_back(std::move(meaningLine));
        for (std::size_t at = 0; at < m.symbols.size(); at += kBytesPerLine) {
            std::string line;
            for (std::size_t i = at; i < m.symbols.size() && i < at + kBytesPerLine; ++i) {
                char byte[6];
                std::snprintf(byte, sizeof byte, "0x%02X", m.symbols[i]);
                if (!line.empty()) line += ',';
                line += byte;
            }
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

}  // namespace meridel::firmware
