// The bit-reversal interleaver of JT4, WSPR and PI4, and the step they share after it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace meridel::modes {

// Coded bit p goes to the p-th index j < n (n <= 256) met when counting i = 0..255 and
// reversing the 8 bits of each i; spreads a fade over the whole code.
std::vector<std::uint8_t> interleaveBitReversal(const std::vector<std::uint8_t>& coded);

// Tone = 2 * data bit + sync bit, for a sync vector written as '0'/'1' characters; `invert`
// sends 1 - sync instead (JT4's marker for a message carrying a report).
std::vector<std::uint8_t> toneWithSync(const std::vector<std::uint8_t>& data, std::string_view sync,
                                       bool invert = false);

}  // namespace meridel::modes
