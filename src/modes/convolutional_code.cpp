#include "modes/convolutional_code.h"

#include <bit>

namespace meridel::modes {

namespace {
constexpr std::uint32_t kPoly1 = 0xF2D05351;
constexpr std::uint32_t kPoly2 = 0xE4613C47;
constexpr int kTailBits = 31;
}  // namespace

std::vector<std::uint8_t> convolveK32(const std::vector<std::uint8_t>& bits) {
    std::vector<std::uint8_t> coded;
    coded.reserve(2 * (bits.size() + kTailBits));
    std::uint32_t reg = 0;
    auto shiftIn = [&](std::uint32_t bit) {
        reg = (reg << 1) | bit;
        coded.push_back(std::uint8_t(std::popcount(reg & kPoly1) & 1));
        coded.push_back(std::uint8_t(std::popcount(reg & kPoly2) & 1));
    };
    for (std::uint8_t bit : bits) shiftIn(bit & 1u);
    for (int i = 0; i < kTailBits; ++i) shiftIn(0);
    return coded;
}

void appendBits(std::vector<std::uint8_t>& bits, std::uint64_t value, int count) {
    for (int i = count - 1; i >= 0; --i) bits.push_back(std::uint8_t((value >> i) & 1u));
}

}  // namespace meridel::modes
