#include "numbers/quoted_text.h"

#include <cstdio>

namespace meridel::numbers {
namespace {

// One character, escaped when it is a control character or no UTF-8 (for the quote `quote`).
void appendEscaped(std::string& out, std::string_view character, char quote) {
    const auto byte = static_cast<unsigned char>(character[0]);
    if (character.size() > 1) {
        out.append(character);
        return;
    }
    switch (byte) {
        case '\t':
            out += "\\t";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        case '\\':
            out += "\\\\";
            return;
        default:
            break;
    }
    if (byte < 0x20 || byte >= 0x7F) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", byte);
        out += hex;
        return;
    }
    if (byte == static_cast<unsigned char>(quote)) out += '\\';
    out += static_cast<char>(byte);
}

bool continuation(std::string_view text, std::size_t at) {
    return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
}

}  // namespace

std::size_t characterLength(std::string_view utf8, std::size_t at) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                         : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xC2 && lead <= 0xDF ? 2
                                                        : 1;
    for (std::size_t i = 1; i < length; ++i) {
        if (!continuation(utf8, at + i)) return 1;
    }
    // C1 controls (U+0080..U+009F) are controls too.
    if (length == 2 && lead == 0xC2 && static_cast<unsigned char>(utf8[at + 1]) < 0xA0) return 1;
    return length;
}

std::string quotedText(std::string_view utf8) {
    std::string out = "\"";
    std::size_t characters = 0, at = 0;
    for (; at < utf8.size(); ++characters) {
        const std::size_t length = characterLength(utf8, at);
        if (characters < kQuotedCharacters) appendEscaped(out, utf8.substr(at, length), '"');
        at += length;
    }
    out += '"';
    if (characters > kQuotedCharacters) {
        out.insert(out.size() - 1, "...");
        out += " (" + std::to_string(characters) + " characters)";
    }
    return out;
}

std::string quotedCharacter(std::string_view utf8, std::size_t at) {
    std::string out = "'";
    appendEscaped(out, utf8.substr(at, characterLength(utf8, at)), '\'');
    return out + "'";
}

}  // namespace meridel::numbers
