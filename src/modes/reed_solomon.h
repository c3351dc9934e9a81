// JT65's Reed-Solomon (63,12) code over GF(64).
#pragma once

#include <array>
#include <cstdint>

namespace meridel::modes {

// The codeword c[0..62] for 12 data symbols (6 bits each): c[m] is the coefficient of x^m,
// c[0..50] the parity and c[51..62] the data in the order given. Thread-safe.
std::array<std::uint8_t, 63> reedSolomon63(const std::array<std::uint8_t, 12>& data);

}  // namespace meridel::modes
