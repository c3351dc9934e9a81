// The tuning-word encoder on every double: inside its domain (0 <= v < 2^48 - 0.5) the text has
// 29 characters and spells floor(v + 0.5), which also comes back in the value; outside it the
// encoder may refuse with an arithmetic error but never crashes or overflows. The exact word of
// v Hz at a 300 MHz clock makes v within half a step, and its bytes read back as the same word.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "numbers/checked_math.h"
#include "numbers/tuning_word.h"

namespace {

constexpr double kDomainEnd = 281474976710656.0 - 0.5;  // 2^48 - 0.5

// "0xHH,0xHH,0xHH,0xHH,0xHH,0xHH" with upper-case digits; the 48-bit number it spells.
bool readSixBytes(const std::string& text, std::uint64_t& word) {
    if (text.size() != 29) return false;
    word = 0;
    for (int byte = 0; byte < 6; ++byte) {
        const std::size_t at = static_cast<std::size_t>(byte) * 5;
        if (text[at] != '0' || text[at + 1] != 'x') return false;
        if (byte < 5 && text[at + 4] != ',') return false;
        for (std::size_t k = at + 2; k < at + 4; ++k) {
            const char c = text[k];
            int digit;
            if (c >= '0' && c <= '9') {
                digit = c - '0';
            } else if (c >= 'A' && c <= 'F') {
                digit = c - 'A' + 10;
            } else {
                return false;
            }
            word = word * 16 + static_cast<std::uint64_t>(digit);
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace meridel::numbers;
    if (size < sizeof(double)) return -1;  // run with -max_len=8
    double v;
    std::memcpy(&v, data, sizeof v);

    constexpr double kClock = 300e6;
    if (const auto word = frequencyWord(v, kClock, 48)) {
        const double halfStep = std::ldexp(kClock, -49);
        FUZZ_CHECK(std::fabs(wordFrequency(*word, kClock, 48) - v) <= halfStep + 1e-7);
        FUZZ_CHECK(parseWordBytes(wordBytesText(*word, 6))->value == *word);
    } else {
        FUZZ_CHECK(!(v >= 0 && v < kClock * 0.999));
    }

    double value = v;
    if (v >= 0 && v < kDomainEnd) {
        const std::string text(encodeTuningWord(value));
        std::uint64_t word = 0;
        FUZZ_CHECK(readSixBytes(text, word));
        const double expected = std::floor(v + 0.5);
        FUZZ_CHECK(static_cast<double>(word) == expected);
        FUZZ_CHECK(value == expected);
        return 0;
    }
    try {
        const std::string text(encodeTuningWord(value));
        std::uint64_t word = 0;
        FUZZ_CHECK(readSixBytes(text, word));
        FUZZ_CHECK(value == std::floor(value));  // handed back as a whole number
    } catch (const ArithmeticError&) {
        // Refusing a word that cannot be split into its halves is the documented answer.
    }
    return 0;
}
