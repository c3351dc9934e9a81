#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "numbers/rational.h"

namespace meridel::numbers {

// 2^48: the tuning word of a frequency f is f / Fclk x 2^48.
inline constexpr double kTuningWordScale = 281474976710656.0;

// The 29-character text of a tuning word, "0xHH,0xHH,0xHH,0xHH,0xHH,0xHH", held by value.
class TuningWordText {
public:
    static constexpr std::size_t kLength = 29;
    std::string_view view() const { return {chars_.data(), kLength}; }
    operator std::string_view() const { return view(); }
    char* data() { return chars_.data(); }

private:
    std::array<char, kLength> chars_{};
};

// Encodes a 48-bit tuning word as six hexadecimal byte constants, most significant first:
// "0x12,0x34,0x56,0x78,0x9A,0xBC". On return `value` holds the word rounded to the nearest
// integer, ties up, which the interval-word callers rely on.
//
// The domain is 0 <= value < 2^48 - 0.5. Outside it the text is the rounded word modulo 2^48,
// exactly what the AD9852's 48-bit phase accumulator makes of it: a frequency above the clock
// aliases, and a negative word is its two's complement (so its low four bytes still step the
// right way when the PIC adds them). A word whose upper half does not fit a signed 32-bit
// integer (|value| of about 2^55 or more, or NaN) throws an ArithmeticError.
TuningWordText encodeTuningWord(double& value);

// The listing's rounding for a word of any width: `value` rounded to the nearest integer, ties
// up, modulo 2^bits (1 <= bits <= 63). Same domain and failures as encodeTuningWord, whose bytes
// it gives for 48 bits; the interval words and phase constants of other widths use it.
std::uint64_t roundedWord(double value, int bits);

// The word of a frequency in an N-bit accumulator: round(hz x 2^bits / clockHz), ties up, in
// exact integer arithmetic on the two doubles (no double product, no 2^N - 1 scale), for
// 1 <= bits <= 63. nullopt when the word is not one of 0 to 2^bits - 1: a negative or
// non-finite frequency, a clock that is not positive and finite, or a frequency that rounds to
// the clock or above.
std::optional<std::uint64_t> frequencyWord(double hz, double clockHz, int bits);

// The same for an exact frequency and clock. Throws RationalOverflow where the fractions need
// more than 127 bits (far beyond any plan's: see decimalValue).
std::optional<std::uint64_t> frequencyWord(const Rational& hz, const Rational& clockHz, int bits);

// The frequency a word makes: ftw x clockHz / 2^bits (one rounding, in the product).
double wordFrequency(std::uint64_t ftw, double clockHz, int bits);

// The low `bytes` bytes of a word, most significant first, spelt as the listing spells them:
// "0x40,0x00,0x49". And its reading back: one to eight comma-separated "0xHH" bytes (one or two
// hexadecimal digits, either case) as one word; nullopt for any other text.
std::string wordBytesText(std::uint64_t word, int bytes);
struct WordBytes {
    std::uint64_t value = 0;
    int bytes = 0;
};
std::optional<WordBytes> parseWordBytes(std::string_view text);

// The last n bytes of a six-byte text: its last 5n - 1 characters ("0xHH,...,0xHH").
std::string_view lowBytes(std::string_view sixByteText, int n);

}  // namespace meridel::numbers
