#include "firmware/si5351_header.h"

#include <cstdio>

#include "numbers/decimal_text.h"
#include "version.h"

namespace meridel::firmware {
namespace {

std::string hexByte(std::uint8_t b) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", b);
    return text;
}

// Printable ASCII without the character pairs that would end or nest a C comment.
std::string commentSafe(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const char next = (c >= 0x20 && c <= 0x7E) ? c : '?';
        if (!out.empty() &&
            ((out.back() == '*' && next == '/') || (out.back() == '/' && next == '*'))) {
            out += ' ';
        }
        out += next;
    }
    return out;
}

std::string hz(const numbers::Rational& value) {
    return numbers::plainDecimalText(value.toDouble());
}

std::string writeBytes(const si5351::I2cWrite& w) {
    std::string text = std::to_string(w.reg) + ", " + std::to_string(w.bytes.size());
    for (const std::uint8_t b : w.bytes) text += ", " + hexByte(b);
    return text;
}

}  // namespace

std::string si5351Header(const Si5351Table& t, std::string_view program,
                         std::string_view prefixName) {
    const si5351::Plan& p = t.plan;
    const std::string prefix = std::string(prefixName) + "_";
    const std::string guard = "MERIDEL_" + std::string(prefixName) + "_H";
    std::string h = "/* Si5351 registers for firmware, made by " + std::string(program) +
                    " " MERIDEL_VERSION ".\n * Reference " + hz(p.referenceHz) + " Hz";
    if (!t.calibration.empty()) h += " (" + commentSafe(t.calibration) + ")";
    h += "; CLK" + std::to_string(t.output.clk) + " = PLL A / (" + std::to_string(p.outputDivider) +
         " x " + std::to_string(p.rDivider) +
         "), the output divider fixed for every tone.\n * Each write: register, count, bytes, "
         "to I2C address 0x60. A tone change writes only\n * PLL A's changing registers, without "
         "a PLL reset. Worst tone error " +
         hz(p.worstErrorHz()) + " Hz.\n */\n";
    h += "#ifndef " + guard + "\n#define " + guard + "\n\n#include <stdint.h>\n\n";
    h += "#if defined(__AVR__)\n#include <avr/pgmspace.h>\n#else\n#ifndef PROGMEM\n"
         "#define PROGMEM\n#endif\n#endif\n\n";
    h += "#define " + prefix +
         "I2C_ADDRESS 0x60\n\n/* Set-up, in order; a count of 0 ends it */\n" +
         "static const uint8_t " + prefix + "SETUP[] PROGMEM = {\n";
    for (const si5351::I2cWrite& w : si5351::setupWrites(p, t.output)) {
        h += "    " + writeBytes(w) + ", /* " + commentSafe(w.what) + " */\n";
    }
    h += "    0, 0\n};\n\n/* Tones */\n";
    const auto writes = si5351::toneWrites(p);
    for (std::size_t n = 0; n < p.tones.size(); ++n) {
        const si5351::TonePlan& tone = p.tones[n];
        h += "/* " + commentSafe(t.names.at(n)) + ": requested " + hz(tone.requestedHz) +
             " Hz, PLL A " + std::to_string(tone.feedback.a) + " + " +
             std::to_string(tone.feedback.b) + "/" + std::to_string(tone.feedback.c) + ", actual " +
             hz(tone.actualHz) + " Hz, error " + hz(tone.errorHz) + " Hz */\n";
        if (writes.empty()) continue;
        const si5351::I2cWrite& w = writes[n];
        h += "static const uint8_t " + prefix + t.ids.at(n) + "[" +
             std::to_string(w.bytes.size() + 2) + "] PROGMEM = {" + writeBytes(w) + "};\n";
    }
    for (const Si5351Table::MessageTones& m : t.messages) {
        if (writes.empty()) break;
        std::string key = m.key;
        for (char& c : key) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        const std::string name = prefix + "MSG_" + key + "_TONE_WRITE";
        h += "\n/* " + key + " tone writes, a row per tone: " + name +
             "[symbol] is the write of that symbol's tone */\nstatic const uint8_t " + name + "[" +
             std::to_string(m.count) + "][" + std::to_string(writes.front().bytes.size() + 2) +
             "] PROGMEM = {\n";
        for (std::size_t n = 0; n < m.count; ++n) {
            h += "    {" + writeBytes(writes.at(m.first + n)) + "}" + (n + 1 < m.count ? "," : "") +
                 " /* tone " + std::to_string(n) + " */\n";
        }
        h += "};\n";
    }
    return h + "\n#endif /* " + guard + " */\n";
}

}  // namespace meridel::firmware
