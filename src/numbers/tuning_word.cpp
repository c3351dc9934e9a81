#include "numbers/tuning_word.h"

#include <cmath>
#include <cstdint>

#include "numbers/checked_math.h"

namespace meridel::numbers {
namespace {
constexpr double kHalfSplit = 16777216.0;  // 2^24: the word is split into two 24-bit halves
constexpr std::uint64_t kWordMask = (std::uint64_t{1} << 48) - 1;
}  // namespace

TuningWordText encodeTuningWord(double& value) {
    const std::int32_t hi = checked::toInt32Floor(checked::div(value, kHalfSplit));
    double lo = std::floor(checked::add(checked::sub(value, hi * kHalfSplit), 0.5));
    std::int64_t high = hi;
    if (lo >= kHalfSplit) {  // the rounding carried out of the low half
        lo = 0;
        high += 1;
    }
    const std::int64_t word =
        high * static_cast<std::int64_t>(kHalfSplit) + static_cast<std::int64_t>(lo);
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

std::string_view lowBytes(std::string_view sixByteText, int n) {
    const std::size_t length = static_cast<std::size_t>(5 * n - 1);
    return sixByteText.substr(sixByteText.size() - length);
}

}  // namespace meridel::numbers
