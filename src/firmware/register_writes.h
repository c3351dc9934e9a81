#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dds/chips.h"

namespace meridel::firmware {

// One transfer to the chip, bytes in the order they go out (a serial word of the AD9850/51 goes
// out LSB first within each byte, as `what` says).
struct RegisterWrite {
    std::string what;
    std::vector<std::uint8_t> bytes;
    friend bool operator==(const RegisterWrite&, const RegisterWrite&) = default;
};

// What the set-up of a chip depends on besides its facts.
struct RegisterSetup {
    double clockHz = 0;                      // the system clock
    std::optional<int> refMult;              // the reference multiplier in use (1 = bypassed)
    std::optional<double> amplitude;         // fraction of full scale, 0..1; full when absent
    std::uint32_t phase = 0;                 // the chip's phase word
    std::optional<std::uint8_t> pllControl;  // AD9852/54: the listing's PLL control byte
};

// The writes from power-up to a running output: `writes`, then the first word's wordWrites,
// then `afterFirstWord`; and the facts about them the firmware author must check. Throws
// FirmwareError for an amplitude outside 0..1 or on a chip without one, and for a multiplier
// the chip's PLL cannot be set to.
struct ChipSetup {
    std::vector<RegisterWrite> writes;
    std::vector<RegisterWrite> afterFirstWord;
    std::vector<std::string> notes;
};
ChipSetup setupWrites(const dds::Chip& chip, const RegisterSetup& setup);

// The writes that put one tuning word (in the chip's width) on the output; for the AD9850/51
// the serial and the parallel form, which are alternatives.
std::vector<RegisterWrite> wordWrites(const dds::Chip& chip, const RegisterSetup& setup,
                                      std::uint64_t ftw);

// Keying the output without a new set-up (CW, or silence between transmissions): `up` silences
// the chip the way it allows (the AD9852/54's OSK multiplier at 0, the AD9850/51's power-down
// bit, the AD9833's RESET, the AD9910's profile amplitude at 0, a word of 0 on the AD9912, which
// has no amplitude control), `down` brings the output back at `ftw`.
struct KeyingWrites {
    std::vector<RegisterWrite> up;
    std::vector<RegisterWrite> down;
};
KeyingWrites keyingWrites(const dds::Chip& chip, const RegisterSetup& setup, std::uint64_t ftw);

// The AD9910 PLL's VCO band (0..5) for a system clock, nullopt outside every band.
std::optional<int> ad9910VcoBand(double clockHz);

}  // namespace meridel::firmware
