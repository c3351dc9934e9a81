#pragma once

#include <array>
#include <string>
#include <string_view>

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

// The last n bytes of a six-byte text: its last 5n - 1 characters ("0xHH,...,0xHH").
std::string_view lowBytes(std::string_view sixByteText, int n);

}  // namespace meridel::numbers
