#include "modes/callsign_code.h"

#include <string>

namespace meridel::modes {

namespace {
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return c >= 'A' && c <= 'Z';
}
}  // namespace

std::optional<int> callsignCharValue(char c) {
    if (isDigit(c)) return c - '0';
    if (isLetter(c)) return c - 'A' + 10;
    if (c == ' ') return 36;
    return std::nullopt;
}

std::optional<std::uint32_t> callsignCode(std::string_view word, bool rewrite3x) {
    std::string call(word.substr(0, 6));
    // Bouvet and Guinea: the third position must be a digit, so the prefixes are respelled.
    if (call.starts_with("3DA0")) {
        call.replace(0, 4, "3D0");
    } else if (rewrite3x && call.size() >= 3 && call.starts_with("3X") && isLetter(call[2])) {
        call.replace(0, 2, "Q");
    }
    if (call.size() >= 3 && isDigit(call[2])) {
        // already aligned
    } else if (call.size() >= 2 && call.size() <= 5 && isDigit(call[1])) {
        call.insert(0, 1, ' ');
    } else {
        return std::nullopt;
    }
    call.resize(6, ' ');

    const auto v1 = callsignCharValue(call[0]);
    if (!v1 || !(isLetter(call[1]) || isDigit(call[1])) || !isDigit(call[2])) return std::nullopt;
    std::uint32_t n = std::uint32_t(*v1) * 36 + std::uint32_t(*callsignCharValue(call[1]));
    n = n * 10 + std::uint32_t(call[2] - '0');
    for (int i = 3; i < 6; ++i) {
        const char c = call[i];
        if (!isLetter(c) && c != ' ') return std::nullopt;
        n = n * 27 + (c == ' ' ? 26u : std::uint32_t(c - 'A'));
    }
    return n;
}

bool isGrid4(std::string_view word) {
    return word.size() == 4 && word[0] >= 'A' && word[0] <= 'R' && word[1] >= 'A' &&
           word[1] <= 'R' && isDigit(word[2]) && isDigit(word[3]);
}

std::uint32_t gridCode(std::string_view grid4) {
    const int x = grid4[0] - 'A', y = grid4[1] - 'A';
    const int n = grid4[2] - '0', m = grid4[3] - '0';
    return std::uint32_t((179 - 10 * x - n) * 180 + 10 * y + m);
}

}  // namespace meridel::modes
