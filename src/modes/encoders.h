// Message encoders: text in, channel symbols out. Each one throws MessageError for a message
// its mode cannot carry unchanged, instead of sending something the operator did not type.
#pragma once

#include <string_view>

#include "modes/symbol_table.h"

namespace meridel::modes {

enum class JtSubmode { JT65A, JT65B, JT65C, JT4A, JT4B, JT4C, JT4D, JT4E, JT4F, JT4G };

// JT65 (126 symbols, 4096/11025 s) or JT4 (206 symbols, 2520/11025 s), by submode; the
// submode only changes the tone spacing, not the symbols. Standard messages
// "CALL CALL GRID|REPORT|RO|RRR|73", CQ/QRZ/DE forms, prefixes and suffixes, free text of up
// to 13 characters, a trailing " OOO" (EME) and, in JT65, the shorthands RO, RRR and 73.
SymbolTable encodeJt(std::string_view message, JtSubmode submode);

// WSPR, 162 symbols of 8192/12000 s: "CALL GRID4 DBM", "PFX/CALL DBM", "CALL/SFX DBM" and
// "<CALL> GRID6 DBM". Powers 0..60 dBm ending in 0, 3 or 7.
SymbolTable encodeWspr(std::string_view message);

// FSK441 meteor scatter, 441 tones a second: the message (up to 28 characters) sent once,
// with one trailing blank when shorter than 28; the transmitter repeats it for the whole
// period. R26, R27, RRR and 73 are sent as their steady-tone shorthands.
SymbolTable encodeFsk441(std::string_view message);

// PI4 beacon mode, 146 symbols of 1/6 s: a callsign of up to 8 characters, "/B" allowed.
SymbolTable encodePi4(std::string_view callsign);

// International Morse at `wpm` words a minute (1..60, PARIS timing: dot 1 unit, dash 3,
// gaps 1 inside a character, 3 between characters, 7 between words). One key state per dot
// unit of 1.2/wpm s; the sequence starts and ends key down, so a transmitter that repeats it
// puts its own 7-unit gap in between.
SymbolTable encodeCw(std::string_view text, double wpm);

// RTTY, ITA2 at 45.45 baud. Each symbol is one 5-bit ITA2 code; on air every code is framed
// as 1 start bit (space), its 5 bits least significant first, then 1.5 stop bits (mark),
// 7.5 bit periods of 1/45.45 s in all. The table opens with the shift (LTRS or FIGS) its first
// character needs, and repeats FIGS after a blank for receivers that unshift on space.
SymbolTable encodeRtty(std::string_view text);
inline constexpr double kRttyBitsPerCharacter = 7.5;

}  // namespace meridel::modes
