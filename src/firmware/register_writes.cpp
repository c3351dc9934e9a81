#include "firmware/register_writes.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "firmware/chip_words.h"
#include "listing/listing_text.h"
#include "numbers/decimal_text.h"

namespace meridel::firmware {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Most significant byte first.
Bytes bigEndian(std::uint64_t value, int bytes) {
    Bytes out;
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    return out;
}

Bytes withPrefix(Bytes prefix, const Bytes& rest) {
    prefix.insert(prefix.end(), rest.begin(), rest.end());
    return prefix;
}

std::string hex(unsigned value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int i = digits - 1; i >= 0; --i) text += kDigits[(value >> (4 * i)) & 0xF];
    return text;
}

// The amplitude as a whole fraction of full scale in `bits` bits; full scale when not given.
std::uint32_t amplitudeWord(const dds::Chip& chip, const RegisterSetup& setup) {
    const std::uint32_t full = (1u << chip.amplitudeBits) - 1;
    if (!setup.amplitude) return full;
    const std::string name(chip.name);
    if (chip.amplitudeBits == 0) {
        throw FirmwareError("--amplitude: the " + name +
                            " has no amplitude control: leave the option out");
    }
    const double a = *setup.amplitude;
    if (!(a >= 0 && a <= 1)) {
        throw FirmwareError("--amplitude " + numbers::plainDecimalText(a) +
                            " is not a fraction of full scale: give 0 to 1, such as 0.5");
    }
    return static_cast<std::uint32_t>(std::lround(a * full));
}

bool multiplierOn(const RegisterSetup& setup) {
    return setup.refMult && *setup.refMult != 1;
}

// AD9850/51 W0: phase in bits 7..3, power-down 0, the AD9851's 6x multiplier in bit 0 (the
// AD9850's control bits are factory-test bits and stay 0).
std::uint8_t ad9850W0(const dds::Chip& chip, const RegisterSetup& setup) {
    const bool sixTimes = dds::hasMultiplier(chip) && multiplierOn(setup);
    return static_cast<std::uint8_t>(((setup.phase & 0x1F) << 3) | (sixTimes ? 1 : 0));
}

constexpr std::uint8_t kAd9850PowerDown = 0x04;  // W0 bit 2

// The serial and the parallel load of one word, which are alternatives.
std::vector<RegisterWrite> ad9850Writes(std::uint8_t w0, std::uint64_t ftw) {
    const Bytes word = bigEndian(ftw, 4);
    return {{"serial: 40 bits on D7, each byte LSB first, then FQ_UD",
             {word[3], word[2], word[1], word[0], w0}},
            {"parallel: W0..W4, then FQ_UD", withPrefix({w0}, word)}};
}

constexpr std::uint16_t kAd9833Reset = 0x2100;  // B28 and RESET
constexpr std::uint16_t kAd9833Run = 0x2000;    // B28
constexpr std::uint16_t kAd9833Freq0 = 0x4000;
constexpr std::uint16_t kAd9833Phase0 = 0xC000;

RegisterWrite word16(std::string what, std::uint16_t w) {
    return {std::move(what) + " " + hex(w, 4), bigEndian(w, 2)};
}

constexpr std::uint8_t kAd9910Cfr1Address = 0x00;
constexpr std::uint8_t kAd9910Cfr2Address = 0x01;
constexpr std::uint8_t kAd9910Cfr3Address = 0x02;
constexpr std::uint8_t kAd9910Profile0 = 0x0E;
constexpr std::uint32_t kAd9910Cfr1 = 0;  // single tone: RAM, OSK and ramps off, as at power-up
constexpr std::uint32_t kAd9910Cfr2 = 0x01400820;  // profile amplitude on, over the power-up value
constexpr std::uint32_t kAd9910ChargePump = 7u << 19;
// CFR3 powers up as 0x1F3F4000: bit 15 clear puts the /2 REFCLK input divider in the path, so
// a clock left at its power-up value runs at half the reference. Bit 15 bypasses the divider,
// bit 14 keeps it out of reset.
constexpr std::uint32_t kAd9910RefDivider = 0xC000;
constexpr std::uint32_t kAd9910PllEnable = 1u << 8;
constexpr std::uint32_t kAd9910PfdReset = 1u << 10;

struct Band {
    double lowMHz, highMHz;
};
constexpr std::array<Band, 6> kAd9910Bands = {
    {{370, 510}, {420, 590}, {500, 700}, {600, 880}, {700, 950}, {820, 1150}}};

constexpr std::uint16_t kAd9912Stream = 3u << 13;  // byte count field: streaming
constexpr std::uint16_t kAd9912FtwTop = 0x01AB;    // FTW bits 47..40; the stream descends
constexpr std::uint16_t kAd9912PllDivider = 0x0020;
constexpr std::uint16_t kAd9912PllConfig = 0x0022;
// VCO auto-range on (bit 7), the reference doubler off (bit 3): the doubler doubles the clock,
// so it is written rather than left to whatever it powered up as.
constexpr std::uint8_t kAd9912PllConfigValue = 0x80;

constexpr std::uint8_t kAd9852Ftw1 = 0x02;
constexpr std::uint8_t kAd9852Control = 0x07;
constexpr std::uint8_t kAd9852Amplitude = 0x08;

ChipSetup ad9852Setup(const dds::Chip& chip, const RegisterSetup& setup) {
    // Without the control register the chip keeps its power-up PLL and its own update clock.
    if (!setup.pllControl) {
        throw FirmwareError("--pll: the " + std::string(chip.name) +
                            " has no such PLL multiplier, so no control register can be written: "
                            "use " +
                            dds::multiplierText(chip));
    }
    ChipSetup out;
    const auto reg = listing::controlRegisterBytes(*setup.pllControl);
    out.writes.push_back({"control register (address 0x7): PLL, external I/O UD, OSK on",
                          withPrefix({kAd9852Control}, {reg.begin(), reg.end()})});
    const std::uint32_t amplitude = amplitudeWord(chip, setup);
    out.writes.push_back({"OSK multiplier (address 0x8), " + hex(amplitude, 3) +
                              " of 0xFFF: OSK is on, so the output stays silent without it",
                          {kAd9852Amplitude, static_cast<std::uint8_t>(amplitude >> 8),
                           static_cast<std::uint8_t>(amplitude)}});
    out.notes.push_back("pulse I/O UD after the control register, and after every word");
    return out;
}

ChipSetup ad9910Setup(const dds::Chip& chip, const RegisterSetup& setup) {
    ChipSetup out;
    amplitudeWord(chip, setup);  // checked here, written with each word
    out.writes.push_back({"CFR1 (0x00): single tone, RAM, OSK and ramps off",
                          withPrefix({kAd9910Cfr1Address}, bigEndian(kAd9910Cfr1, 4))});
    out.writes.push_back({"CFR2 (0x01): amplitude from the single-tone profile",
                          withPrefix({kAd9910Cfr2Address}, bigEndian(kAd9910Cfr2, 4))});
    if (!multiplierOn(setup)) {
        out.writes.push_back(
            {"CFR3 (0x02): PLL off, REFCLK input divider bypassed: the clock is "
             "the reference",
             withPrefix({kAd9910Cfr3Address}, bigEndian(kAd9910RefDivider, 4))});
    } else {
        const auto band = ad9910VcoBand(setup.clockHz);
        if (!band) {
            throw FirmwareError("--clock: no AD9910 VCO band holds a clock of " +
                                numbers::plainDecimalText(setup.clockHz / 1e6) +
                                " MHz: its PLL runs from 370 to 1150 MHz");
        }
        const std::uint32_t cfr3 = (static_cast<std::uint32_t>(*band) << 24) | kAd9910ChargePump |
                                   kAd9910RefDivider | kAd9910PllEnable |
                                   (static_cast<std::uint32_t>(*setup.refMult) << 1);
        out.writes.push_back(
            {"CFR3 (0x02): PLL x" + std::to_string(*setup.refMult) + ", VCO" +
                 std::to_string(*band) + ", phase detector held in reset",
             withPrefix({kAd9910Cfr3Address}, bigEndian(cfr3 | kAd9910PfdReset, 4))});
        out.writes.push_back({"CFR3 (0x02): phase detector released; wait for PLL lock",
                              withPrefix({kAd9910Cfr3Address}, bigEndian(cfr3, 4))});
    }
    out.notes.push_back("pulse IO_UPDATE after each write; keep the PROFILE pins at 0");
    return out;
}

ChipSetup ad9912Setup(const RegisterSetup& setup) {
    ChipSetup out;
    if (multiplierOn(setup)) {
        const int divider = *setup.refMult / 2 - 2;
        out.writes.push_back(
            {"PLL N divider (0x0020) = " + std::to_string(divider) + " for x" +
                 std::to_string(*setup.refMult),
             withPrefix(bigEndian(kAd9912PllDivider, 2), {static_cast<std::uint8_t>(divider)})});
        out.writes.push_back({"PLL configuration (0x0022): reference doubler off, VCO auto-range",
                              withPrefix(bigEndian(kAd9912PllConfig, 2), {kAd9912PllConfigValue})});
    } else {
        out.notes.push_back(
            "without a multiplier the clock must reach the DDS with the PLL "
            "bypassed; how the chip is told so is unconfirmed: check the data "
            "sheet");
    }
    out.notes.push_back("pulse IO_UPDATE after each write");
    return out;
}

}  // namespace

KeyingWrites keyingWrites(const dds::Chip& chip, const RegisterSetup& setup, std::uint64_t ftw) {
    KeyingWrites out;
    out.down = wordWrites(chip, setup, ftw);
    switch (chip.registers) {
        case dds::RegisterForm::Ad985xSerial: {
            const std::uint32_t amplitude = amplitudeWord(chip, setup);
            out.up = {{"OSK multiplier (address 0x8) 0x000: silent", {kAd9852Amplitude, 0, 0}}};
            out.down = {{"OSK multiplier (address 0x8) " + hex(amplitude, 3) + " again",
                         {kAd9852Amplitude, static_cast<std::uint8_t>(amplitude >> 8),
                          static_cast<std::uint8_t>(amplitude)}}};
            break;
        }
        case dds::RegisterForm::Ad9850Word:
            out.up = ad9850Writes(
                static_cast<std::uint8_t>(ad9850W0(chip, setup) | kAd9850PowerDown), ftw);
            for (RegisterWrite& w : out.up) w.what += "; W0's power-down bit 2 set";
            break;
        case dds::RegisterForm::Ad9833Words:
            out.up = {word16("control: B28, RESET (output at mid-scale)", kAd9833Reset)};
            out.down = {word16("control: B28, RESET released", kAd9833Run)};
            break;
        case dds::RegisterForm::Ad9910Profile: {
            RegisterSetup silent = setup;
            silent.amplitude = 0.0;
            out.up = wordWrites(chip, silent, ftw);
            out.up.front().what += ", amplitude 0";
            break;
        }
        case dds::RegisterForm::Ad9912Stream:
            out.up = wordWrites(chip, setup, 0);
            out.up.front().what += " of 0: the output stops at a constant level";
            break;
    }
    return out;
}

std::optional<int> ad9910VcoBand(double clockHz) {
    // The band whose middle lies nearest: the widest margin to both of its edges.
    std::optional<int> best;
    double bestMargin = 0;
    for (std::size_t i = 0; i < kAd9910Bands.size(); ++i) {
        const double mhz = clockHz / 1e6;
        const double margin = std::min(mhz - kAd9910Bands[i].lowMHz, kAd9910Bands[i].highMHz - mhz);
        if (margin >= 0 && (!best || margin > bestMargin)) {
            best = static_cast<int>(i);
            bestMargin = margin;
        }
    }
    return best;
}

ChipSetup setupWrites(const dds::Chip& chip, const RegisterSetup& setup) {
    if (!chip.picListing && setup.refMult && !dds::allowsMultiplier(chip, *setup.refMult)) {
        throw FirmwareError("--ref-mult " + std::to_string(*setup.refMult) + ": the " +
                            std::string(chip.name) + " takes " + dds::multiplierText(chip));
    }
    ChipSetup out;
    switch (chip.registers) {
        case dds::RegisterForm::Ad985xSerial:
            out = ad9852Setup(chip, setup);
            break;
        case dds::RegisterForm::Ad9850Word:
            amplitudeWord(chip, setup);
            out.notes.push_back("pulse FQ_UD after every word");
            break;
        case dds::RegisterForm::Ad9833Words:
            amplitudeWord(chip, setup);
            out.writes.push_back(word16("control: B28, RESET", kAd9833Reset));
            out.writes.push_back(word16("PHASE0", kAd9833Phase0 | (setup.phase & 0x0FFF)));
            out.afterFirstWord.push_back(word16("control: B28, RESET released", kAd9833Run));
            break;
        case dds::RegisterForm::Ad9910Profile:
            out = ad9910Setup(chip, setup);
            break;
        case dds::RegisterForm::Ad9912Stream:
            amplitudeWord(chip, setup);
            out = ad9912Setup(setup);
            break;
    }
    if (!chip.registerNote.empty()) out.notes.emplace_back(chip.registerNote);
    return out;
}

std::vector<RegisterWrite> wordWrites(const dds::Chip& chip, const RegisterSetup& setup,
                                      std::uint64_t ftw) {
    switch (chip.registers) {
        case dds::RegisterForm::Ad985xSerial:
            return {{"FTW1 (address 0x2)", withPrefix({kAd9852Ftw1}, bigEndian(ftw, 6))}};
        case dds::RegisterForm::Ad9850Word:
            return ad9850Writes(ad9850W0(chip, setup), ftw);
        case dds::RegisterForm::Ad9833Words:
            return {word16("FREQ0 bits 13..0", kAd9833Freq0 | (ftw & 0x3FFF)),
                    word16("FREQ0 bits 27..14", kAd9833Freq0 | ((ftw >> 14) & 0x3FFF))};
        case dds::RegisterForm::Ad9910Profile: {
            const std::uint64_t profile = (std::uint64_t{amplitudeWord(chip, setup)} << 48) |
                                          (std::uint64_t{setup.phase & 0xFFFF} << 32) |
                                          (ftw & 0xFFFFFFFF);
            return {{"single-tone profile 0 (0x0E): amplitude, phase, FTW",
                     withPrefix({kAd9910Profile0}, bigEndian(profile, 8))}};
        }
        case dds::RegisterForm::Ad9912Stream:
            return {{"FTW (0x01AB down to 0x01A6), streamed",
                     withPrefix(bigEndian(kAd9912Stream | kAd9912FtwTop, 2), bigEndian(ftw, 6))}};
    }
    return {};
}

}  // namespace meridel::firmware
