// The 28-bit callsign code shared by JT65, JT4 and WSPR, and the 15-bit grid code.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace meridel::modes {

// Value of a callsign character: digits 0..9, letters 10..35, blank 36; nullopt otherwise.
std::optional<int> callsignCharValue(char c);

// Code of an ordinary callsign (no CQ/QRZ/DE, no prefix or suffix) from the first 6 characters
// of `word`, or nullopt when they are not a callsign the code can carry. `rewrite3x` turns 3X +
// letter into Q + letter, which frees the third position for the digit the code requires there.
std::optional<std::uint32_t> callsignCode(std::string_view word, bool rewrite3x);

// True for a 4-character Maidenhead grid AA00..RR99.
bool isGrid4(std::string_view word);

// (179 - 10X - n) * 180 + 10Y + m for grid XYnm: 179 (RR99) .. 32220 (AA00).
std::uint32_t gridCode(std::string_view grid4);

}  // namespace meridel::modes
