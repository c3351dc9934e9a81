#include "firmware/register_lines.h"

#include <cstdio>

#include "firmware/tone_words.h"

namespace meridel::firmware {
namespace {

std::string hexList(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (const std::uint8_t b : bytes) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", b);
        text += (text.empty() ? "" : ", ") + std::string(hex);
    }
    return text;
}

std::string suffix(std::size_t i, std::size_t count) {
    return count > 1 ? std::to_string(i) : std::string();
}

// One array per write: NAME_WRITE, or NAME_WRITE0, NAME_WRITE1, ...
std::string writeArrays(const std::string& name, const std::vector<RegisterWrite>& list) {
    std::string h;
    for (std::size_t i = 0; i < list.size(); ++i) {
        h += "static const uint8_t " + name + "_WRITE" + suffix(i, list.size()) + "[" +
             std::to_string(list[i].bytes.size()) + "] PROGMEM = {" + hexList(list[i].bytes) +
             "}; /* " + list[i].what + " */\n";
    }
    return h;
}

const ChipWord* carrierOf(const ChipWords& words) {
    for (const ChipWord& w : words.tones) {
        if (w.id == "SSB_CARRIER") return &w;
    }
    return words.tones.empty() ? nullptr : &words.tones.front();
}

std::string keyingLines(const ChipWords& words, const RegisterSetup& setup,
                        const std::string& prefix) {
    const auto keying = carrierKeying(words, setup);
    if (!keying) return "";
    return "/* Keying, each write followed by the update a word takes: KEY_UP silences the "
           "output,\n * KEY_DOWN brings back " +
           carrierOf(words)->name + " (a tone's own writes after it give another tone) */\n" +
           writeArrays(prefix + "KEY_UP", keying->up) +
           writeArrays(prefix + "KEY_DOWN", keying->down);
}

// A table's writes per tone: row n is what puts tone n (symbol value n) on the output.
std::string tableLines(const MessageTable& m, const ChipWords& words, const RegisterSetup& setup,
                       const std::string& prefix) {
    std::string upper = m.key;
    for (char& c : upper) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    const std::string name = prefix + "MSG_" + upper + "_TONE_WRITE";
    const TableTones tones = tableTones(m, words);
    std::vector<std::vector<RegisterWrite>> rows;
    for (const ToneWord& t : tones.tones) rows.push_back(wordWrites(*words.chip, setup, t.ftw));
    const std::size_t count = rows.front().size();
    std::string h = "/* " + m.mode + " tone writes, a row per tone: " + name +
                    (count > 1 ? "0" : "") + "[symbol] is what puts that symbol's tone out; on " +
                    "AVR read each byte with pgm_read_byte */\n";
    for (std::size_t i = 0; i < count; ++i) {
        h += "static const uint8_t " + name + suffix(i, count) + "[" + std::to_string(rows.size()) +
             "][" + std::to_string(rows.front()[i].bytes.size()) + "] PROGMEM = { /* " +
             rows.front()[i].what + " */\n";
        for (std::size_t n = 0; n < rows.size(); ++n) {
            h += "    {" + hexList(rows[n][i].bytes) + "}" + (n + 1 < rows.size() ? "," : "") +
                 " /* tone " + std::to_string(n) + " */\n";
        }
        h += "};\n";
    }
    return h;
}

}  // namespace

std::optional<KeyingWrites> carrierKeying(const ChipWords& words, const RegisterSetup& setup) {
    const ChipWord* carrier = carrierOf(words);
    if (!carrier) return std::nullopt;
    return keyingWrites(*words.chip, setup, carrier->ftw);
}

std::string registerLines(const ChipWords& words, std::span<const MessageTable> messages,
                          const RegisterSetup& setup, const std::string& prefix) {
    const dds::Chip& chip = *words.chip;
    const ChipSetup start = setupWrites(chip, setup);
    std::string h = "\n/* Register writes, in the order they go out; set-up first:\n";
    for (const RegisterWrite& w : start.writes) {
        h += " *   " + w.what + ": " + hexList(w.bytes) + "\n";
    }
    h += " * then the first tone's writes";
    for (const RegisterWrite& w : start.afterFirstWord) {
        h += ", then " + w.what + ": " + hexList(w.bytes);
    }
    h += ".\n";
    for (const std::string& note : start.notes) h += " * Note: " + note + ".\n";
    h += " */\n";
    for (const ChipWord& word : words.tones) {
        h += writeArrays(prefix + word.id, wordWrites(chip, setup, word.ftw));
    }
    h += keyingLines(words, setup, prefix);
    for (const MessageTable& m : messages) h += tableLines(m, words, setup, prefix);
    return h;
}

}  // namespace meridel::firmware
