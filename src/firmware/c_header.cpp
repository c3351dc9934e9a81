#include "firmware/c_header.h"

#include <cmath>
#include <cstdio>
#include <set>

#include "firmware/register_lines.h"
#include "firmware/tone_words.h"
#include "listing/listing_text.h"
#include "numbers/decimal_text.h"
#include "numbers/tuning_word.h"
#include "version.h"

namespace meridel::firmware {
namespace {

using numbers::plainDecimalText;

constexpr double kWholeMsTolerance = 0.01;

// The length of the well-formed UTF-8 character at the start of `text` that is no control
// character, or 0.
std::size_t utf8Printable(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead >= 0x20 && lead <= 0x7E) return 1;
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
    }
    // Overlong forms, surrogates, code points above U+10FFFF and the C1 controls.
    const unsigned char second = byte(1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90) ||
        (lead == 0xC2 && second < 0xA0)) {
        return 0;
    }
    return length;
}

// Text safe inside a C block comment on every compiler: printable UTF-8 (any byte that is not
// becomes "?"), and no "*/", "/*" or trigraph "??" that -Wall would flag or that would end the
// comment.
std::string commentText(std::string_view text) {
    std::string out;
    while (!text.empty()) {
        const std::size_t length = utf8Printable(text);
        const std::string_view next = length ? text.substr(0, length) : "?";
        if (!out.empty() && next.size() == 1 &&
            ((out.back() == '*' && next[0] == '/') || (out.back() == '/' && next[0] == '*') ||
             (out.back() == '?' && next[0] == '?'))) {
            out += ' ';
        }
        out += next;
        text.remove_prefix(length ? length : 1);
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

// Where an RF multiplier follows the chip, what a word's error becomes on air.
std::string antennaText(double actualHz, double requestedHz, std::int32_t rfMult) {
    if (rfMult == 1) return "";
    const double r = rfMult;
    return ";\n * at the antenna (x" + std::to_string(rfMult) + ") " +
           plainDecimalText(actualHz * r) + " Hz, error " +
           plainDecimalText((actualHz - requestedHz) * r) + " Hz";
}

std::string wordLines(const ChipWord& w, int bytes, const std::string& prefix,
                      std::int32_t rfMult) {
    const std::string name = prefix + w.id;
    return "/* " + commentText(w.name) + ": requested " + plainDecimalText(w.requestedHz) +
           " Hz, actual " + plainDecimalText(w.actualHz) + " Hz, error " +
           plainDecimalText(w.actualHz - w.requestedHz) + " Hz" +
           antennaText(w.actualHz, w.requestedHz, rfMult) + " */\n#define " + name + "_FTW " +
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

std::string planComment(const ChipWords& w, const std::optional<std::string>& commentNote) {
    const run::PlanTexts& p = w.plan;
    const dds::Chip& chip = *w.chip;
    const std::string comment = commentNote ? commentText(*commentNote) : fieldText(p.comment);
    std::string text = " * Plan: " + comment + "\n *   Output carrier " + fieldText(p.foutput) +
                       " MHz, RF Mult " + fieldText(p.rfMult) + ", DDS carrier " + fieldText(p.fo) +
                       " MHz\n";
    if (chip.picListing) {
        text += " *   Ref in " + fieldText(p.refIn) + " MHz, PLL Mult " + fieldText(p.pll) +
                ", DDS clock " + fieldText(p.clockFreq) + " MHz\n";
    } else {
        text += " *   DDS clock " + plainDecimalText(w.clockHz / 1e6) + " MHz";
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

// "_SYMBOL_PERIOD" lines of a period in seconds: microseconds, and milliseconds where the
// nearest whole number is within 1 % (a sketch's delay() would drift by more).
std::string periodLines(const std::string& name, double seconds) {
    const double ms = seconds * 1e3;
    const long long wholeMs = std::llround(ms);
    std::string text =
        "#define " + name + "_US " + std::to_string(std::llround(seconds * 1e6)) + "UL\n";
    if (std::fabs(static_cast<double>(wholeMs) - ms) <= kWholeMsTolerance * ms) {
        return text + "#define " + name + "_MS " + std::to_string(wholeMs) + "UL\n";
    }
    return text + "/* no " + name + "_MS: " + plainDecimalText(ms) +
           " ms is too far from a whole millisecond; use " + name + "_US */\n";
}

// Word tables hold each word in the chip's width: AVR has no 48-bit type, so those take uint64_t.
bool wideWords(int bytes) {
    return bytes > 4;
}
std::string wordType(int bytes) {
    return wideWords(bytes) ? "uint64_t" : "uint32_t";
}
std::string wordSuffix(int bytes) {
    return wideWords(bytes) ? "ULL" : "UL";
}

// An expression that reads `element` of a word table: indexing it directly would read RAM at
// the flash address on AVR. No pgm_read exists for 64 bits, so those go through memcpy_P.
std::string flashRead(int bytes, const std::string& prefix, const std::string& element) {
    if (wideWords(bytes)) return prefix + "read_word64(&" + element + ")";
    return "((uint32_t)pgm_read_dword(&" + element + "))";
}

std::string word64Reader(const std::string& prefix) {
    return "\n/* One uint64_t word out of program memory */\nstatic inline uint64_t " + prefix +
           "read_word64(const uint64_t *address) {\n#if defined(__AVR__)\n    uint64_t word;\n"
           "    memcpy_P(&word, address, sizeof word);\n    return word;\n#else\n"
           "    return *address;\n#endif\n}\n";
}

// A table's own word per tone, so the firmware need not add interval words: the error of each
// stays within half a chip step instead of growing with the tone number.
std::string toneLines(const MessageTable& m, const ChipWords& words, const std::string& name,
                      const std::string& prefix) {
    const TableTones tones = tableTones(m, words);
    const int bytes = words.chip->wordBytes;
    const std::string count = std::to_string(tones.tones.size());
    const std::string which = m.key == "rtty" ? "0 = space, 1 = mark"
                              : m.key == "cw" ? "the key-down tone"
                                              : "symbol n sends tone n";
    std::string text = "/* " + commentText(m.mode) + " tone words, each rounded on its own (" +
                       which + "): worst tone " + std::to_string(tones.worstTone) + ", " +
                       plainDecimalText(tones.worstErrorHz) + " Hz off at the antenna";
    if (tones.spacingHz > 0) {
        text += ", " + plainDecimalText(tones.worstFraction()) + " of the " +
                plainDecimalText(tones.spacingHz) + " Hz spacing; spacing error " +
                plainDecimalText(tones.spacingErrorPercent) + " %";
    }
    text += " */\n#define " + name + "_TONE_COUNT " + count + "U\n";
    std::string table;
    for (const ToneWord& t : tones.tones) {
        const std::string tone = std::to_string(t.tone);
        text += "/* tone " + tone + ": requested " + plainDecimalText(t.requestedHz) +
                " Hz, actual " + plainDecimalText(t.actualHz) + " Hz; at the antenna " +
                plainDecimalText(t.antennaHz) + " Hz, error " + plainDecimalText(t.antennaErrorHz) +
                " Hz */\n" + byteArray(name + "_TONE_" + tone + "_BYTES", t.ftw, bytes);
        table += (t.tone % 4 == 0) ? "\n    " : " ";
        table += hexLiteral(t.ftw, bytes) + wordSuffix(bytes) +
                 (static_cast<std::size_t>(t.tone) + 1 < tones.tones.size() ? "," : "");
    }
    const std::string array = name + "_TONE_FTW";
    return text + "static const " + wordType(bytes) + " " + array + "[" + count + "] PROGMEM = {" +
           table + "\n};\n/* " + array + "_AT(n): tone n's word, read from program memory */\n" +
           "#define " + array + "_AT(n) " + flashRead(bytes, prefix, array + "[(n)]") + "\n";
}

std::string messageLines(const MessageTable& m, const ChipWords& words, const std::string& prefix) {
    std::string upper = m.key;
    for (char& c : upper) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    const std::string name = prefix + "MSG_" + upper;
    std::string baseId;
    for (const ChipWord& w : words.tones) {
        if (w.name == m.base_word) baseId = prefix + w.id;
    }
    std::string intervalName;
    for (const ChipWord& w : words.intervals) {
        if (w.id == intervalIdOf(m)) intervalName = w.name;
    }
    const auto count = std::to_string(m.symbols.size());
    std::string text = "/* " + commentText(m.mode) + " \"" + commentText(m.text) + "\": " + count +
                       " symbols of " + plainDecimalText(m.symbol_seconds) + " s; " +
                       commentText(symbolMeaning(m, intervalName));
    if (m.character_seconds > 0) {
        text += ";\n * a bit lasts " + plainDecimalText(m.symbol_seconds) +
                " s, a character with its start and stop bits " +
                plainDecimalText(m.character_seconds) + " s";
    }
    text += " */\n#define " + name + "_SYMBOL_COUNT " + count + "U\n";
    if (m.character_seconds > 0) {
        text += periodLines(name + "_BIT_PERIOD", m.symbol_seconds) +
                periodLines(name + "_CHAR_PERIOD", m.character_seconds);
    } else {
        text += periodLines(name + "_SYMBOL_PERIOD", m.symbol_seconds);
    }
    text += "#define " + name + "_BASE_FTW " + baseId + "_FTW\n";
    text += "#define " + name + "_BASE_BYTES " + baseId + "_BYTES\n";
    text += "static const uint8_t " + name + "_SYMBOLS[" + count + "] PROGMEM = {";
    for (std::size_t i = 0; i < m.symbols.size(); ++i) {
        text += (i % 16 == 0) ? "\n    " : " ";
        text += std::to_string(m.symbols[i]) + (i + 1 < m.symbols.size() ? "," : "");
    }
    return text + "\n};\n" + toneLines(m, words, name, prefix);
}

// AVR keeps tables in flash through <avr/pgmspace.h>. Elsewhere an Arduino core may bring its
// own stand-in of that header, defining PROGMEM and the pgm_read macros its way: take it where
// it exists, so the order of includes does not matter, and define each only where nothing did.
constexpr const char* kProgmemLines =
    "#if defined(__AVR__)\n#include <avr/pgmspace.h>\n#else\n#if defined(__has_include)\n"
    "#if __has_include(<avr/pgmspace.h>)\n#include <avr/pgmspace.h>\n#endif\n#endif\n"
    "#ifndef PROGMEM\n#define PROGMEM\n#endif\n#ifndef pgm_read_byte\n"
    "#define pgm_read_byte(address) (*(const uint8_t *)(address))\n#endif\n"
    "#ifndef pgm_read_word\n#define pgm_read_word(address) (*(const uint16_t *)(address))\n"
    "#endif\n#ifndef pgm_read_dword\n"
    "#define pgm_read_dword(address) (*(const uint32_t *)(address))\n#endif\n#endif\n\n";

std::string w0Lines(const ChipWords& words, const std::string& prefix) {
    const dds::Chip& chip = *words.chip;
    const auto hex = [](std::uint8_t value) {
        char text[8];
        std::snprintf(text, sizeof text, "0x%02XU", value);
        return std::string(text);
    };
    const bool sixTimes = w0Byte(words, 0) & 1U;
    return "\n/* W0, the " + std::string(chip.name) +
           " control byte sent with every word: phase in bits 7..3, power-down bit 2 clear, " +
           (dds::hasMultiplier(chip) ? std::string("bit 1 clear, bit 0 the 6x multiplier (") +
                                           (sixTimes ? "on" : "off") + ")"
                                     : std::string("factory-test bits 1..0 clear")) +
           " */\n#define " + prefix + "W0 " + hex(w0Byte(words, 0)) + "\n#define " + prefix +
           "W0_PHASE180 " + hex(w0Byte(words, words.phaseConstant)) + "\n";
}

}  // namespace

std::string clockNoteText(const ClockNote& c) {
    return "clock corrected by " + plainDecimalText(c.ppb) + " ppb (" + c.source +
           "; positive = the clock runs fast): nominal " + plainDecimalText(c.nominalHz) +
           " Hz, corrected " + plainDecimalText(c.correctedHz) + " Hz";
}

std::string headerSizeWarning(std::size_t bytes) {
    if (bytes <= kHeaderWarningBytes) return "";
    return "the C header is " + std::to_string(bytes) + " bytes, more than " +
           std::to_string(kHeaderWarningBytes) +
           " (1 MiB): its tables will hardly fit a microcontroller's flash; shorten the "
           "cycle's long segments of short symbols or send them as messages the firmware repeats";
}

bool isMacroPrefix(std::string_view prefix) {
    if (prefix.empty() || (prefix[0] >= '0' && prefix[0] <= '9') || prefix[0] == '_') return false;
    for (const char c : prefix) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
    }
    return true;
}

std::string cHeader(const ChipWords& words, std::span<const MessageTable> messages,
                    std::string_view program, std::string_view prefixName,
                    const HeaderExtras& extras) {
    if (!isMacroPrefix(prefixName)) {
        throw FirmwareError("the prefix \"" + commentText(prefixName) +
                            "\" is no macro prefix: use upper-case letters, digits and '_', "
                            "starting with a letter");
    }
    checkMessages(messages, words);
    const dds::Chip& chip = *words.chip;
    const int bytes = chip.wordBytes;
    const std::string bits = std::to_string(chip.wordBits);
    const std::string prefix = std::string(prefixName) + "_";
    const std::string guard = "MERIDEL_" + prefix + "WORDS_H";

    std::string h = "/* DDS words for firmware, made by " + std::string(program) +
                    " " MERIDEL_VERSION " for the " + std::string(chip.name) + ".\n * " + bits +
                    "-bit words: f = FTW x " + plainDecimalText(words.clockHz) + " Hz / 2^" + bits +
                    ", one step " + plainDecimalText(std::ldexp(words.clockHz, -chip.wordBits)) +
                    " Hz.\n * Bytes most significant first: " + wireOrderText(chip) + ".\n *\n" +
                    planComment(words, extras.commentNote) + " */\n";
    h += "#ifndef " + guard + "\n#define " + guard + "\n\n#include <stdint.h>\n\n";
    h += kProgmemLines;
    h += "#define " + prefix + "WORD_BITS " + bits + "\n#define " + prefix + "WORD_BYTES " +
         std::to_string(bytes) + "\n\n/* Tone words */\n";
    for (const ChipWord& w : words.tones) h += wordLines(w, bytes, prefix, words.rfMult);
    h += "\n/* Interval words: the step from one tone to the next";
    h += chip.picListing ? "; the PIC listing adds the low four bytes */\n" : " */\n";
    for (const ChipWord& w : words.intervals) h += wordLines(w, bytes, prefix, words.rfMult);

    if (chip.picListing) {
        if (words.controlByte && *words.controlByte >= 0 && *words.controlByte <= 0xFF) {
            const auto reg =
                listing::controlRegisterBytes(static_cast<std::uint8_t>(*words.controlByte));
            const std::uint64_t value = (std::uint64_t{reg[0]} << 24) |
                                        (std::uint64_t{reg[1]} << 16) |
                                        (std::uint64_t{reg[2]} << 8) | reg[3];
            h += "\n/* " + std::string(chip.name) +
                 " control register: PLL multiplier and range, OSK on */\n" +
                 byteArray(prefix + "CONTROL_REGISTER_BYTES", value, 4);
        } else {
            h += "\n/* No control register: PLL multiplier " + std::to_string(words.pllMult) +
                 " is illegal for the " + std::string(chip.name) + " */\n";
        }
    }
    const int phaseBytes = (words.phaseBits + 7) / 8;
    h += "\n/* Phase offset of 180 degrees at RF: half a turn of the " +
         std::to_string(chip.phaseBits) + "-bit phase word, divided by RF Mult " +
         std::to_string(words.rfMult) + " */\n#define " + prefix + "PHASE180 " +
         hexLiteral(words.phaseConstant, phaseBytes) + "U\n" +
         byteArray(prefix + "PHASE180_BYTES", words.phaseConstant, phaseBytes);
    if (hasW0Byte(chip)) h += w0Lines(words, prefix);

    if (!messages.empty()) {
        if (wideWords(bytes)) h += word64Reader(prefix);
        h += "\n/* Messages */\n";
    }
    for (const MessageTable& m : messages) h += messageLines(m, words, prefix);
    if (extras.correction) h += "\n/* " + commentText(clockNoteText(*extras.correction)) + " */\n";
    if (extras.registers) h += registerLines(words, messages, *extras.registers, prefix);
    if (!extras.section.empty()) h.append("\n").append(extras.section);
    return h + "\n#endif /* " + guard + " */\n";
}

}  // namespace meridel::firmware
