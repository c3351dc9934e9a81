// Gray code of JT65's 6-bit symbols: neighbouring tones differ in one bit, so a decoder's
// one-tone mistake costs one bit.
#pragma once

#include <cstdint>

namespace meridel::modes {

constexpr std::uint8_t grayCode(std::uint8_t v) {
    return std::uint8_t(v ^ (v >> 1));
}

}  // namespace meridel::modes
