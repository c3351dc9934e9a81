#include "modes/message_text.h"

#include <cstdio>

namespace meridel::modes {

std::string cat(std::initializer_list<std::string_view> pieces) {
    std::string out;
    for (std::string_view piece : pieces) out += piece;
    return out;
}

std::string normaliseMessage(std::string_view message) {
    std::string out;
    out.reserve(message.size());
    for (char c : message) {
        if (c == ' ') {
            if (!out.empty() && out.back() != ' ') out += ' ';
            continue;
        }
        out += (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string describeCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F) return std::string{'\'', c, '\''};
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "byte 0x%02X", byte);
    return buffer;
}

MessageError messageError(std::string_view kind, std::string_view text, std::string_view problem,
                          std::string_view allowed) {
    std::string what(kind);
    what += " message \"";
    what += text;
    what += "\": ";
    what += problem;
    what += "; ";
    what += allowed;
    return MessageError(what);
}

void requireAlphabet(std::string_view kind, std::string_view text, std::string_view alphabet,
                     std::string_view allowed) {
    if (text.empty()) throw messageError(kind, text, "it is empty", allowed);
    for (char c : text) {
        if (alphabet.find(c) == std::string_view::npos)
            throw messageError(kind, text, cat({describeCharacter(c), " cannot be sent"}), allowed);
    }
}

}  // namespace meridel::modes
