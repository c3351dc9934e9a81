#include "firmware/c_header.h"

#include <cmath>
#include <set>

#include "listing/listing_text.h"
#include "numbers/decimal_text.h"
#include "numbers/tuning_word.h"
#include "version.h"

namespace meridel::firmware {
namespace {

using numbers::trimmedDecimalText;

constexpr const char* kPrefix = "DDS_";

// Text safe inside a C block comment on every compiler: printable ASCII only, and no "*/",
// "/*" or trigraph "??" that -Wall would flag or that would end the comment.
std::string commentText(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const bool printable = c >= 0x20 && c <= 0x7E;
        const char next = printable ? c : '?';
        if (!out.empty() &&
            ((out.back() == '*' && next == '/') || (out.back() == '/' && next == '*') ||
             (out.back() == '?' && next == '?'))) {
            out += ' ';
        }
        out += next;
    }
    return out;
}

// A field's text in the plan comment, without the blank the window puts before a number.
std::string fieldText(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return "(none)";
    return commentText(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string hexLiteral(std::uint64_t value, int bytes) {
    std::string digits = numbers::wordBytesText(value, bytes);
    std::string hex = "0x";
    for (std::size_t i = 2; i < digits.size(); i += 5) hex += digits.substr(i, 2);
    return hex;
}

std::string byteArray(const std::string& name, std::uint64_t value, int bytes) {
    std::string list = numbers::wordBytesText(value, bytes);
    std::string spaced;
    for (const char c : list) spaced += (c == ',') ? std::string(", ") : std::string(1, c);
    return "static const uint8_t " + name + "[" + std::to_string(bytes) + "] PROGMEM = {" + spaced +
           "};\n";
}

std::string wordLines(const ChipWord& w, int bytes) {
    const std::string name = kPrefix + w.id;
    return "/* " + commentText(w.name) + ": requested " + trimmedDecimalText(w.requestedHz) +
           " Hz, actual " + trimmedDecimalText(w.actualHz) + " Hz, error " +
           trimmedDecimalText(w.actualHz - w.requestedHz) + " Hz */\n#define " + name + "_FTW " +
           hexLiteral(w.ftw, bytes) + "ULL\n" + byteArray(name + "_BYTES", w.ftw, bytes);
}

std::string wireOrderText(const dds::Chip& chip) {
    switch (chip.wireOrder) {
        case dds::WireOrder::MsbFirst:
            return "the order the chip takes them";
        case dds::WireOrder::LsbFirstSerial:
            return "the parallel order W1..W4;\n * a serial load sends them the other way "
                   "round, each byte LSB first";
        case dds::WireOrder::TwoHalves14:
            return "the chip takes a word as two 14-bit FREQ writes,\n * 0x4000 | (FTW & "
                   "0x3FFF), then 0x4000 | (FTW >> 14)";
    }
    return "";
}

std::string planComment(const ChipWords& w) {
    const run::PlanTexts& p = w.plan;
    const dds::Chip& chip = *w.chip;
    std::string text = " * Plan: " + fieldText(p.comment) + "\n *   Output carrier " +
                       fieldText(p.foutput) + " MHz, RF Mult " + fieldText(p.rfMult) +
                       ", DDS carrier " + fieldText(p.fo) + " MHz\n";
    if (chip.picListing) {
        text += " *   Ref in " + fieldText(p.refIn) + " MHz, PLL Mult " + fieldText(p.pll) +
                ", DDS clock " + fieldText(p.clockFreq) + " MHz\n";
    } else {
        text += " *   DDS clock " + trimmedDecimalText(w.clockHz / 1e6) + " MHz";
        if (w.refMult) text += ", reference multiplier " + std::to_string(*w.refMult);
        text += "\n";
    }
    return text + " *   Tone " + fieldText(p.tone) + " Hz, RTTY shift " + fieldText(p.shift) +
           " Hz, mode " + fieldText(p.mode) + "\n";
}

void checkMessages(std::span<const MessageTable> messages, const ChipWords& words) {
    std::set<std::string> keys;
    for (const MessageTable& m : messages) {
        const std::string which = "message table \"" + commentText(m.key) + "\"";
        bool identifier = !m.key.empty();
        for (const char c : m.key) {
            identifier =
                identifier && ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_');
        }
        if (!identifier) {
            throw FirmwareError(which + ": a key is lower-case letters, digits and '_' only");
        }
        if (!keys.insert(m.key).second) throw FirmwareError(which + " is given twice");
        if (m.symbols.empty()) throw FirmwareError(which + " has no symbols");
        if (!(std::isfinite(m.symbol_seconds) && m.symbol_seconds > 0)) {
            throw FirmwareError(which + ": the symbol period must be a positive number of seconds");
        }
        bool found = false;
        std::string names;
        for (const ChipWord& w : words.tones) {
            found = found || w.name == m.base_word;
            names += (names.empty() ? "\"" : ", \"") + w.name + "\"";
        }
        if (!found) {
            throw FirmwareError(which + ": its base word \"" + commentText(m.base_word) +
                                "\" is not a tone word of the listing: use one of " + names);
        }
    }
}

std::string messageLines(const MessageTable& m, const ChipWords& words) {
    std::string upper = m.key;
    for (char& c : upper) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    const std::string name = std::string(kPrefix) + "MSG_" + upper;
    std::string baseId;
    for (const ChipWord& w : words.tones) {
        if (w.name == m.base_word) baseId = kPrefix + w.id;
    }
    const auto count = std::to_string(m.symbols.size());
    std::string text = "/* " + commentText(m.mode) + " \"" + commentText(m.text) + "\": " + count +
                       " symbols of " + trimmedDecimalText(m.symbol_seconds) +
                       " s, each a tone count above " + commentText(m.base_word) + " */\n";
    text += "#define " + name + "_SYMBOL_COUNT " + count + "U\n";
    text += "#define " + name + "_SYMBOL_PERIOD_US " +
            std::to_string(std::llround(m.symbol_seconds * 1e6)) + "UL\n";
    text += "#define " + name + "_SYMBOL_PERIOD_MS " +
            std::to_string(std::llround(m.symbol_seconds * 1e3)) + "UL\n";
    text += "#define " + name + "_BASE_FTW " + baseId + "_FTW\n";
    text += "#define " + name + "_BASE_BYTES " + baseId + "_BYTES\n";
    text += "static const uint8_t " + name + "_SYMBOLS[" + count + "] PROGMEM = {";
    for (std::size_t i = 0; i < m.symbols.size(); ++i) {
        text += (i % 16 == 0) ? "\n    " : " ";
        text += std::to_string(m.symbols[i]) + (i + 1 < m.symbols.size() ? "," : "");
    }
    return text + "\n};\n";
}

}  // namespace

std::string cHeader(const ChipWords& words, std::span<const MessageTable> messages,
                    std::string_view program, std::string_view section) {
    checkMessages(messages, words);
    const dds::Chip& chip = *words.chip;
    const int bytes = chip.wordBytes;
    const std::string bits = std::to_string(chip.wordBits);

    std::string h = "/* DDS words for firmware, made by " + std::string(program) +
                    " " MERIDEL_VERSION " for the " + std::string(chip.name) + ".\n * " + bits +
                    "-bit words: f = FTW x " + trimmedDecimalText(words.clockHz) + " Hz / 2^" +
                    bits + ", one step " +
                    trimmedDecimalText(std::ldexp(words.clockHz, -chip.wordBits)) +
                    " Hz.\n * Bytes most significant first: " + wireOrderText(chip) + ".\n *\n" +
                    planComment(words) + " */\n";
    h += "#ifndef MERIDEL_DDS_WORDS_H\n#define MERIDEL_DDS_WORDS_H\n\n#include <stdint.h>\n\n";
    h += "#if defined(__AVR__)\n#include <avr/pgmspace.h>\n#else\n#ifndef PROGMEM\n"
         "#define PROGMEM\n#endif\n#ifndef pgm_read_byte\n"
         "#define pgm_read_byte(address) (*(const uint8_t *)(address))\n#endif\n#endif\n\n";
    h += "#define DDS_WORD_BITS " + bits + "\n#define DDS_WORD_BYTES " + std::to_string(bytes) +
         "\n\n/* Tone words */\n";
    for (const ChipWord& w : words.tones) h += wordLines(w, bytes);
    h += "\n/* Interval words: the step from one tone to the next";
    h += chip.picListing ? "; the PIC listing adds the low four bytes */\n" : " */\n";
    for (const ChipWord& w : words.intervals) h += wordLines(w, bytes);

    if (chip.picListing) {
        if (words.controlByte && *words.controlByte >= 0 && *words.controlByte <= 0xFF) {
            const auto reg =
                listing::controlRegisterBytes(static_cast<std::uint8_t>(*words.controlByte));
            const std::uint64_t value = (std::uint64_t{reg[0]} << 24) |
                                        (std::uint64_t{reg[1]} << 16) |
                                        (std::uint64_t{reg[2]} << 8) | reg[3];
            h += "\n/* " + std::string(chip.name) +
                 " control register: PLL multiplier and range, OSK on */\n" +
                 byteArray("DDS_CONTROL_REGISTER_BYTES", value, 4);
        } else {
            h += "\n/* No control register: PLL multiplier " + std::to_string(words.pllMult) +
                 " is illegal for the " + std::string(chip.name) + " */\n";
        }
    }
    const int phaseBytes = (words.phaseBits + 7) / 8;
    h += "\n/* Phase offset of 180 degrees at RF: half a turn of the " +
         std::to_string(chip.phaseBits) + "-bit phase word, divided by RF Mult " +
         std::to_string(words.rfMult) + " */\n#define DDS_PHASE180 " +
         hexLiteral(words.phaseConstant, phaseBytes) + "U\n" +
         byteArray("DDS_PHASE180_BYTES", words.phaseConstant, phaseBytes);

    if (!messages.empty()) h += "\n/* Messages */\n";
    for (const MessageTable& m : messages) h += messageLines(m, words);
    if (!section.empty()) h.append("\n").append(section);
    return h + "\n#endif /* MERIDEL_DDS_WORDS_H */\n";
}

}  // namespace meridel::firmware
