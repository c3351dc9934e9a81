#include "numbers/tuning_word.h"

#include <cmath>
#include <cstdint>

#include "numbers/checked_math.h"

namespace meridel::numbers {
namespace {
constexpr double kHalfSplit = 16777216.0;  // 2^24: the word is split into two 24-bit halves
constexpr std::uint64_t kWordMask = (std::uint64_t{1} << 48) - 1;

// Round half up by 24-bit halves, so that the high half is checked against the 32-bit range
// the listing has always allowed, and the low half rounds exactly.
std::int64_t roundHalfUp(double value) {
    const std::int32_t hi = checked::toInt32Floor(checked::div(value, kHalfSplit));
    double lo = std::floor(checked::add(checked::sub(value, hi * kHalfSplit), 0.5));
    std::int64_t high = hi;
    if (lo >= kHalfSplit) {  // the rounding carried out of the low half
        lo = 0;
        high += 1;
    }
    return high * static_cast<std::int64_t>(kHalfSplit) + static_cast<std::int64_t>(lo);
}

std::uint64_t lowBits(int bits) {
    return (std::uint64_t{1} << bits) - 1;
}

// The binary exponent and 53-bit integer mantissa of a positive finite double: v = m x 2^e.
std::uint64_t mantissa(double v, int& exponent) {
    const double fraction = std::frexp(v, &exponent);
    exponent -= 53;
    return static_cast<std::uint64_t>(std::ldexp(fraction, 53));
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

TuningWordText encodeTuningWord(double& value) {
    const std::int64_t word = roundHalfUp(value);
    const std::uint64_t bits = static_cast<std::uint64_t>(word) & kWordMask;

    static constexpr char kDigits[] = "0123456789ABCDEF";
    TuningWordText text;
    char* out = text.data();
    for (int byte = 5; byte >= 0; --byte) {
        const unsigned b = static_cast<unsigned>((bits >> (8 * byte)) & 0xFF);
        *out++ = '0';
        *out++ = 'x';
        *out++ = kDigits[b >> 4];
        *out++ = kDigits[b & 0xF];
        if (byte > 0) *out++ = ',';
    }
    value = static_cast<double>(word);
    return text;
}

std::uint64_t roundedWord(double value, int bits) {
    return static_cast<std::uint64_t>(roundHalfUp(value)) & lowBits(bits);
}

std::optional<std::uint64_t> frequencyWord(double hz, double clockHz, int bits) {
    if (bits < 1 || bits > 63 || !std::isfinite(hz) || !std::isfinite(clockHz)) return {};
    if (hz < 0 || clockHz <= 0 || hz >= clockHz) return {};
    if (hz == 0) return 0;
    // hz x 2^bits / clock = (mh / mc) x 2^shift. Binary long division gives floor of twice
    // that, and (floor(2x) + 1) / 2 is round(x) with ties up. As hz < clock the quotient stays
    // below 2^(bits + 1), and the remainder below mc < 2^53, so 64 bits hold every step.
    int eh = 0;
    int ec = 0;
    const std::uint64_t mh = mantissa(hz, eh);
    const std::uint64_t mc = mantissa(clockHz, ec);
    const int shift = eh - ec + bits + 1;
    if (shift < 0) return 0;  // 2x < 2^(shift + 1) <= 1, so x < 1/2
    std::uint64_t quotient = mh / mc;
    std::uint64_t remainder = mh % mc;
    for (int i = 0; i < shift; ++i) {
        remainder <<= 1;
        quotient <<= 1;
        if (remainder >= mc) {
            remainder -= mc;
            quotient |= 1;
        }
    }
    const std::uint64_t word = (quotient + 1) >> 1;
    if (word > lowBits(bits)) return {};
    return word;
}

std::optional<std::uint64_t> frequencyWord(const Rational& hz, const Rational& clockHz, int bits) {
    if (hz < Rational() || clockHz <= Rational() || bits < 1 || bits > 63) return std::nullopt;
    const Int128 scale = Int128{1} << bits;
    const Int128 word = (hz * Rational(scale) / clockHz + Rational(1, 2)).floor();
    if (word >= scale) return std::nullopt;
    return static_cast<std::uint64_t>(word);
}

double wordFrequency(std::uint64_t ftw, double clockHz, int bits) {
    return std::ldexp(static_cast<double>(ftw) * clockHz, -bits);
}

std::string wordBytesText(std::uint64_t word, int bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (int byte = bytes - 1; byte >= 0; --byte) {
        const unsigned b = static_cast<unsigned>((word >> (8 * byte)) & 0xFF);
        text += "0x";
        text += kDigits[b >> 4];
        text += kDigits[b & 0xF];
        if (byte > 0) text += ',';
    }
    return text;
}

std::optional<WordBytes> parseWordBytes(std::string_view text) {
    WordBytes word;
    std::size_t at = 0;
    while (true) {
        if (word.bytes == 8 || text.size() < at + 3 || text[at] != '0' ||
            (text[at + 1] != 'x' && text[at + 1] != 'X')) {
            return {};
        }
        at += 2;
        int value = 0;
        int digits = 0;
        for (; at < text.size() && hexDigit(text[at]) >= 0; ++at, ++digits) {
            if (digits < 2) value = value * 16 + hexDigit(text[at]);  // longer runs are refused
        }
        if (digits < 1 || digits > 2) return {};
        word.value = (word.value << 8) | static_cast<std::uint64_t>(value);
        ++word.bytes;
        if (at == text.size()) return word;
        if (text[at++] != ',') return {};
    }
}

std::string_view lowBytes(std::string_view sixByteText, int n) {
    const std::size_t length = static_cast<std::size_t>(5 * n - 1);
    return sixByteText.substr(sixByteText.size() - length);
}

}  // namespace meridel::numbers
