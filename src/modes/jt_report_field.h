// The 15-bit third field of a JT65/JT4 standard message: a grid, a signal report, RO, RRR,
// 73 or nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace meridel::modes {

constexpr std::uint32_t kNgBase = 180 * 180;  // first code above the grids

// Code of the third word as WSJT-X reads it (only its first 4 characters count), or nullopt
// when the word is none of the above and the message has to go as free text.
std::optional<std::uint32_t> reportFieldCode(std::string_view word);

// How a receiver spells a code from reportFieldCode.
std::string reportFieldText(std::uint32_t ng);

// Grids north of 85 degrees (AR05..RR99 with the last digit 5..9): in a message without Type 2
// add-on, a receiver reads these codes as Type 1 prefixes and suffixes.
constexpr bool isPolarGridCode(std::uint32_t ng) {
    return ng < kNgBase && ng % 180 >= 175;
}

// Pseudo-grid carrying Type 1 add-on k (1..862).
constexpr std::uint32_t addOnFieldCode(std::uint32_t k) {
    return 180 * ((k - 1) / 5) + 175 + (k - 1) % 5;
}

// The add-on k a polar grid code stands for (1..900): the inverse of addOnFieldCode.
constexpr std::uint32_t addOnOfFieldCode(std::uint32_t ng) {
    return ng / 180 * 5 + ng % 180 - 175 + 1;
}
static_assert(addOnOfFieldCode(addOnFieldCode(1)) == 1 &&
              addOnOfFieldCode(addOnFieldCode(862)) == 862);

}  // namespace meridel::modes
