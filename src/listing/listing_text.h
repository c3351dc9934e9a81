#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The exact text of every line of the register listing. Blanks inside and at the ends of the
// labels are part of the texts the PIC source expects and are not to be "tidied".
namespace meridel::listing {

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::string_view kSeparatorLine = "------------------------------------------";
inline constexpr std::string_view kNoJt4IntervalLine = "--";
inline constexpr std::string_view kIllegalPllLine = "Illegal PLL value";

struct HeaderFields {
    std::string_view comment, foutput, rfMult, fo, refIn, pllMult, clockFreq;
};
// The seven lines that only the output target receives, in order.
std::array<std::string, 7> listingHeader(const HeaderFields& fields);

// Tone lines: the six-byte text of a tuning word followed by its label.
std::string fsk441ToneLine(std::string_view word, int tone);
std::string ssbCarrierLine(std::string_view word);
std::string jtSyncLine(std::string_view word);
std::string singleToneLine(std::string_view word, double toneHz);
std::string rttyMarkLine(std::string_view word, double markHz);
std::string rttySpaceLine(std::string_view word);
std::string wsprBaseLine(std::string_view word);
std::string jt4ToneZeroLine(std::string_view word, std::string_view modeText, double offsetHz);

// Interval lines: the four-byte text of a word followed by its label.
std::string fsk441IntervalLine(std::string_view lowFourBytes);
std::string syncOffsetLine(std::string_view lowFourBytes);
std::string jt65IntervalLine(std::string_view lowFourBytes, std::string_view modeText);
std::string wsprIntervalLine(std::string_view lowFourBytes);
std::string jt4IntervalLine(std::string_view lowFourBytes, std::string_view modeText);

// "AD9852 Control reg  0x10,0xHH,0x00,0x60 (OSK On)" for a control byte.
std::string controlRegisterLine(std::int32_t controlByte);
// The four bytes that line spells, for a control byte of 0 to 255.
std::array<std::uint8_t, 4> controlRegisterBytes(std::uint8_t controlByte);
// "PHASE180  Constant  0xHH,0xHH" from the two-byte text of the phase word.
std::string phaseConstantLine(std::string_view lowTwoBytes);

// The 32-bit add warning caption for the mode text the list shows.
std::string thirtyTwoBitAddWarning(std::string_view modeText);
inline constexpr std::string_view kDdsFreqTooHighWarning = "DDS FREQ TOO HIGH!";

}  // namespace meridel::listing
