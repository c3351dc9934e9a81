#include "modes/message_text.h"

#include "numbers/quoted_text.h"

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

std::string describeCharacter(std::string_view text, std::size_t at) {
    return numbers::quotedCharacter(text, at);
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); at += numbers::characterLength(text, at)) ++count;
    return count;
}

MessageError messageError(std::string_view kind, std::string_view typed, std::string_view problem,
                          std::string_view allowed) {
    std::string what(kind);
    what += " message ";
    what += numbers::quotedText(typed);
    what += ": ";
    what += problem;
    what += "; ";
    what += allowed;
    return MessageError(what);
}

void requireAlphabet(std::string_view kind, std::string_view typed, std::string_view text,
                     std::string_view alphabet, std::string_view allowed) {
    if (text.empty()) throw messageError(kind, typed, "it is empty", allowed);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (alphabet.find(text[i]) == std::string_view::npos)
            throw messageError(kind, typed, cat({describeCharacter(text, i), " cannot be sent"}),
                               allowed);
    }
}

void requireLength(std::string_view kind, std::string_view typed, std::string_view text,
                   std::size_t limit, std::string_view allowed) {
    const std::size_t count = characterCount(text);
    if (count > limit)
        throw messageError(kind, typed, cat({"it has ", std::to_string(count), " characters"}),
                           allowed);
}

}  // namespace meridel::modes
