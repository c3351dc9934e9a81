// The 72-bit source word of JT65 and JT4, packed from message text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace meridel::modes {

constexpr std::string_view kJtAlphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ +-./?";

struct JtSource {
    std::string text;                     // normalised message, " OOO" included
    std::array<std::uint8_t, 12> packed;  // the 72 bits as 6-bit symbols, most significant first
    bool ooo = false;                     // EME: JT65 swaps its sync and data intervals
    int shorthand = 0;                    // JT65 RO / RRR / 73: 2 / 3 / 4, else 0
};

// Packs a message; `kind` names the mode in errors, `jt65` allows OOO and the shorthands.
// Throws MessageError when the message would not arrive as typed: a report or callsign
// spelled so it would be changed, words past the third, free text over 13 characters,
// characters outside kJtAlphabet.
JtSource packJtMessage(std::string_view message, std::string_view kind, bool jt65);

// Packs up to 13 characters of kJtAlphabet as free text.
std::array<std::uint8_t, 12> packJtFreeText(std::string_view text);

}  // namespace meridel::modes
