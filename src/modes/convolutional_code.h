// Rate 1/2, constraint length 32 convolutional code (Layland-Lushbaugh polynomials) of JT4,
// WSPR and PI4.
#pragma once

#include <cstdint>
#include <vector>

namespace meridel::modes {

// Encodes `bits` (one 0/1 per element, in sending order) followed by the 31 zero bits that
// flush the register: 2 * (bits.size() + 31) coded bits, POLY1's parity before POLY2's.
std::vector<std::uint8_t> convolveK32(const std::vector<std::uint8_t>& bits);

// Appends the `count` low bits of `value` to `bits`, most significant first.
void appendBits(std::vector<std::uint8_t>& bits, std::uint64_t value, int count);

}  // namespace meridel::modes
