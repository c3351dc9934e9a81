#include "firmware/asm_symbols.h"

#include <cstdio>

#include "numbers/decimal_text.h"
#include "numbers/tuning_word.h"

namespace meridel::firmware {
namespace {

constexpr std::size_t kBytesPerLine = 16;

// The interval word a message's tone numbers step by, as the listing labels it.
std::string intervalName(const MessageTable& m, const run::RunWords& words) {
    const std::string_view id = intervalWordId(m);
    for (const run::RunWord& w : words.intervals) {
        if (w.id == id) return w.name;
    }
    return "the mode's interval word";
}

// What a symbol of each message kind means to the firmware.
std::string meaning(const MessageTable& m, const run::RunWords& words) {
    if (m.key == "cw") return "1 = key down on " + m.base_word + ", 0 = key up, one per dot unit";
    if (m.key == "rtty") {
        return "ITA2 codes, sent as 1 start bit (space, " + m.base_word +
               "), the 5 bits least significant first (1 = mark), 1.5 stop bits (mark)";
    }
    return "tone n = " + m.base_word + " + n x " + intervalName(m, words);
}

// The words a message table adds to the listing's, as the listing spells them: tone words in
// six bytes, interval words in their low four.
void addExtraWords(std::vector<std::string>& lines, const run::RunWords& words) {
    const auto extra = [](const run::RunWord& w) { return w.id.rfind("PI4_", 0) == 0; };
    for (const run::RunWord& w : words.tones) {
        if (extra(w)) lines.push_back(numbers::wordBytesText(w.ftw, 6) + " ; " + w.name);
    }
    for (const run::RunWord& w : words.intervals) {
        if (extra(w)) lines.push_back(numbers::wordBytesText(w.ftw, 4) + " ; " + w.name);
    }
}

}  // namespace

std::vector<std::string> asmSymbolLines(std::span<const MessageTable> messages,
                                        const run::RunWords& words) {
    std::vector<std::string> lines;
    addExtraWords(lines, words);
    for (const MessageTable& m : messages) {
        if (!lines.empty()) lines.emplace_back();
        // Appended piece by piece: GCC 12 at -O3 warns falsely on "literal" + string.
        std::string title = ";";
        title.append(m.mode).append(" message \"").append(m.text).append("\": ");
        title.append(std::to_string(m.symbols.size())).append(" symbols of ");
        lines.push_back(title.append(numbers::plainDecimalText(m.symbol_seconds)).append(" s"));
        lines.push_back(std::string(";").append(meaning(m, words)));
        for (std::size_t at = 0; at < m.symbols.size(); at += kBytesPerLine) {
            std::string line;
            for (std::size_t i = at; i < m.symbols.size() && i < at + kBytesPerLine; ++i) {
                char byte[6];
                std::snprintf(byte, sizeof byte, "0x%02X", m.symbols[i]);
                line.append(line.empty() ? "" : ",").append(byte);
            }
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

}  // namespace meridel::firmware
