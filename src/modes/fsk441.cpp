// FSK441 meteor scatter: each character as three tones of four, no coding, no sync; pings
// are short, so the message repeats for the whole period.
#include <array>

#include "modes/encoders.h"
#include "modes/message_text.h"

namespace meridel::modes {

namespace {

constexpr std::string_view kAllowed = "send up to 28 characters from A-Z 0-9 blank . , ? / # $";
constexpr std::size_t kMaxLength = 28;

// Codes 0, 21, 42 and 63 (tones 000, 111, 222, 333) are kept for the shorthands, so E, Z and
// 0 move up to 44, 45 and 43.
int characterCode(char c) {
    if (c >= '1' && c <= '9') return c - '0';
    if (c == 'E') return 44;
    if (c == 'Z') return 45;
    if (c >= 'A' && c <= 'Y') return 17 + (c - 'A');
    switch (c) {
        case '0':
            return 43;
        case '.':
            return 10;
        case ',':
            return 11;
        case '?':
            return 12;
        case '/':
            return 13;
        case '#':
            return 14;
        case ' ':
            return 15;
        case '$':
            return 16;
        default:
            return -1;
    }
}

// R26, R27, RRR and 73: one steady tone, two characters of code 0, 21, 42 or 63.
int shorthandCode(std::string_view text) {
    constexpr std::array<std::string_view, 4> kShorthands = {"R26", "R27", "RRR", "73"};
    for (std::size_t i = 0; i < kShorthands.size(); ++i)
        if (text == kShorthands[i]) return int(21 * i);
    return -1;
}

}  // namespace

SymbolTable encodeFsk441(std::string_view message) {
    SymbolTable table{"FSK441", normaliseMessage(message), {}, 1.0 / 441.0};
    const std::string& text = table.text;
    if (text.empty()) throw messageError("FSK441", message, "it is empty", kAllowed);

    std::vector<int> codes;
    if (const int code = shorthandCode(text); code >= 0) {
        codes = {code, code};
    } else {
        if (text.size() > kMaxLength)
            throw messageError(
                "FSK441", message,
                cat({"it has ", std::to_string(characterCount(text)), " characters"}), kAllowed);
        for (std::size_t i = 0; i < text.size(); ++i) {
            const int code = characterCode(text[i]);
            if (code < 0)
                throw messageError("FSK441", message,
                                   cat({describeCharacter(text, i), " cannot be sent"}), kAllowed);
            codes.push_back(code);
        }
        // A blank between repeats, unless the message fills all 28 places.
        if (text.size() < kMaxLength) codes.push_back(characterCode(' '));
    }
    for (int code : codes)
        for (int shift : {4, 2, 0}) table.symbols.push_back(std::uint8_t((code >> shift) & 3));
    return table;
}

}  // namespace meridel::modes
