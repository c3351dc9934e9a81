#include "listing/listing_text.h"

#include <cstdio>

#include "numbers/decimal_text.h"

namespace meridel::listing {
namespace {

std::string concat(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (auto part : parts) size += part.size();
    std::string text;
    text.reserve(size);
    for (auto part : parts) text += part;
    return text;
}

}  // namespace

std::array<std::string, 7> listingHeader(const HeaderFields& f) {
    return {
        std::string(";AD9852 DDS register data for VHF/UHF beacons running WSJT Modes"),
        std::string("; Cut and paste into PIC assembly file"),
        std::string(),
        concat({"    ;", f.comment}),
        concat(
            {"    ;Fcarrier = ", f.foutput, " , RF Mult = ", f.rfMult, " , Fo(carrier) = ", f.fo}),
        concat({"    ;Ref in   = ", f.refIn, " , PLL Mult= ", f.pllMult,
                " , Clock freq  = ", f.clockFreq}),
        std::string(),
    };
}

std::string fsk441ToneLine(std::string_view word, int tone) {
    const char digit[2] = {static_cast<char>('0' + tone), '\0'};
    return concat({word, " ; FSK441 Tone ", digit, "  "});
}

std::string ssbCarrierLine(std::string_view word) {
    return concat({word, " ; SSB Carrier    "});
}

std::string jtSyncLine(std::string_view word) {
    return concat({word, " ; JT Sync  1270.46Hz "});
}

std::string singleToneLine(std::string_view word, double toneHz) {
    return concat({word, " ; ", numbers::trimmedDecimalText(toneHz), "Hz Tone    "});
}

std::string rttyMarkLine(std::string_view word, double markHz) {
    return concat({word, " ; RTTY Mark  ", numbers::fieldDecimalText(markHz), "Hz"});
}

std::string rttySpaceLine(std::string_view word) {
    return concat({word, " ; RTTY Space  1275Hz"});
}

std::string wsprBaseLine(std::string_view word) {
    return concat({word, " ; WSPR Base  "});
}

std::string jt4ToneZeroLine(std::string_view word, std::string_view modeText, double offsetHz) {
    // The offset is cut to seven characters, not rounded: 1263.896484375 shows as " 1263.8".
    const std::string offset = numbers::fieldDecimalText(offsetHz).substr(0, 7);
    return concat({word, " ; ", modeText, " Tone 0 ", offset, " Hz"});
}

std::string fsk441IntervalLine(std::string_view lowFourBytes) {
    return concat({lowFourBytes, " ; FSK441 Interval     "});
}

std::string syncOffsetLine(std::string_view lowFourBytes) {
    return concat({lowFourBytes, " ; JT   Sync offset    "});
}

std::string jt65IntervalLine(std::string_view lowFourBytes, std::string_view modeText) {
    return concat({lowFourBytes, " ; ", modeText, " Interval      "});
}

std::string wsprIntervalLine(std::string_view lowFourBytes) {
    return concat({lowFourBytes, " ; WSPR Interval"});
}

std::string jt4IntervalLine(std::string_view lowFourBytes, std::string_view modeText) {
    return concat({lowFourBytes, " ; ", modeText, " Interval"});
}

std::string controlRegisterLine(std::int32_t controlByte) {
    // Upper-case hexadecimal with one "0" in front below 16, so 0 to 255 always take two digits.
    // The PLL list only yields bytes in that range; any other value prints its plain 32-bit
    // hexadecimal (two's complement when negative) rather than being cut.
    char hex[16];
    std::snprintf(hex, sizeof hex, "%s%X", controlByte >= 0 && controlByte < 16 ? "0" : "",
                  static_cast<unsigned>(controlByte));
    return concat({"AD9852 Control reg  0x10,0x", hex, ",0x00,0x60 (OSK On)"});
}

std::array<std::uint8_t, 4> controlRegisterBytes(std::uint8_t controlByte) {
    return {0x10, controlByte, 0x00, 0x60};
}

std::string phaseConstantLine(std::string_view lowTwoBytes) {
    return concat({"PHASE180  Constant  ", lowTwoBytes});
}

std::string thirtyTwoBitAddWarning(std::string_view modeText) {
    return concat({"USE 32-BIT ADD FOR ", modeText});
}

}  // namespace meridel::listing
