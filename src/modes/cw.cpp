// International Morse as a key-state sequence, one entry per dot unit (PARIS timing).
#include <array>
#include <cstdio>
#include <utility>

#include "modes/encoders.h"
#include "modes/message_text.h"

namespace meridel::modes {

namespace {

constexpr std::string_view kAllowed = "send A-Z 0-9 blank and . , ? ' ! / ( ) & : ; = + - _ \" $ @";
// About 4 minutes at 12 WPM: an identification, not a bulletin.
constexpr std::size_t kMaxCharacters = 200;

constexpr std::array<std::pair<char, std::string_view>, 54> kMorse{{
    {'A', ".-"},     {'B', "-..."},   {'C', "-.-."},    {'D', "-.."},    {'E', "."},
    {'F', "..-."},   {'G', "--."},    {'H', "...."},    {'I', ".."},     {'J', ".---"},
    {'K', "-.-"},    {'L', ".-.."},   {'M', "--"},      {'N', "-."},     {'O', "---"},
    {'P', ".--."},   {'Q', "--.-"},   {'R', ".-."},     {'S', "..."},    {'T', "-"},
    {'U', "..-"},    {'V', "...-"},   {'W', ".--"},     {'X', "-..-"},   {'Y', "-.--"},
    {'Z', "--.."},   {'0', "-----"},  {'1', ".----"},   {'2', "..---"},  {'3', "...--"},
    {'4', "....-"},  {'5', "....."},  {'6', "-...."},   {'7', "--..."},  {'8', "---.."},
    {'9', "----."},  {'.', ".-.-.-"}, {',', "--..--"},  {'?', "..--.."}, {'\'', ".----."},
    {'!', "-.-.--"}, {'/', "-..-."},  {'(', "-.--."},   {')', "-.--.-"}, {'&', ".-..."},
    {':', "---..."}, {';', "-.-.-."}, {'=', "-...-"},   {'+', ".-.-."},  {'-', "-....-"},
    {'_', "..--.-"}, {'"', ".-..-."}, {'$', "...-..-"}, {'@', ".--.-."},
}};

std::string_view morse(char c) {
    for (const auto& [ch, code] : kMorse)
        if (ch == c) return code;
    return {};
}

}  // namespace

SymbolTable encodeCw(std::string_view text, double wpm) {
    SymbolTable table{"CW", normaliseMessage(text), {}, 0};
    const std::string& t = table.text;
    if (!(wpm >= 1 && wpm <= 60)) {
        char speed[32];
        std::snprintf(speed, sizeof speed, "%g", wpm);
        throw messageError("CW", text, cat({"a speed of ", speed, " WPM is not allowed"}),
                           "use 1 to 60 WPM");
    }
    table.symbol_seconds = 1.2 / wpm;
    if (t.empty()) throw messageError("CW", text, "it is empty", kAllowed);
    requireLength("CW", text, t, kMaxCharacters,
                  "a CW text has at most 200 characters (about 4 minutes at 12 WPM)");

    auto key = [&](int down, int units) {
        table.symbols.insert(table.symbols.end(), units, std::uint8_t(down));
    };
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == ' ') continue;
        const std::string_view code = morse(t[i]);
        if (code.empty())
            throw messageError("CW", text, cat({describeCharacter(t, i), " has no Morse code"}),
                               kAllowed);
        if (i > 0) key(0, t[i - 1] == ' ' ? 7 : 3);  // word gap or letter gap
        for (std::size_t e = 0; e < code.size(); ++e) {
            if (e > 0) key(0, 1);
            key(1, code[e] == '.' ? 1 : 3);
        }
    }
    return table;
}

}  // namespace meridel::modes
