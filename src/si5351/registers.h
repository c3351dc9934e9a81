#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "si5351/plan.h"

namespace meridel::si5351 {

// The three register values of a divider a + b/c (PLL feedback or multisynth).
struct Parameters {
    std::uint32_t p1 = 0, p2 = 0, p3 = 1;
    friend bool operator==(const Parameters&, const Parameters&) = default;
};
Parameters parameters(const Feedback& ratio);

// The eight bytes of a divider's block (PLL A at 26-33, MS0 at 42-49, ...), in register order.
// `rDivider` (1..128) and `divideBy4` only exist in a multisynth block.
using Block = std::array<std::uint8_t, 8>;
Block pack(const Parameters& p, int rDivider = 1, bool divideBy4 = false);

// A block read back: the exact divider it sets, and its R divider (1 in a PLL block). nullopt
// for a block with P3 = 0 or a value that no divider has.
struct Unpacked {
    Rational divider;
    int rDivider = 1;
};
std::optional<Unpacked> unpack(std::span<const std::uint8_t, 8> block);

// The frequency that a PLL A block and the output's multisynth block make from the reference.
std::optional<Rational> decodeFrequency(const Rational& referenceHz,
                                        std::span<const std::uint8_t, 8> pllBlock,
                                        std::span<const std::uint8_t, 8> multisynthBlock);

// How the output is wired.
struct Output {
    int clk = 0;         // CLK0..CLK2
    int driveMa = 8;     // 2, 4, 6 or 8
    int loadPf = 10;     // crystal load: 6, 8 or 10 (ignored with an external clock)
    bool clkin = false;  // reference on the CLKIN pin (Si5351C) instead of a crystal
};

// One I2C write to the chip at address 0x60: the first register and the bytes that follow it.
struct I2cWrite {
    std::uint8_t reg = 0;
    std::vector<std::uint8_t> bytes;
    std::string what;
};

inline constexpr std::uint8_t kI2cAddress = 0x60;
inline constexpr std::uint8_t kPllABlock = 26;

// Everything from power-up to tone 0 on the output: outputs off, reference source, spread
// spectrum off, crystal load, PLL A, the multisynth with its R divider, the output's control,
// PLL reset, output on.
std::vector<I2cWrite> setupWrites(const Plan& plan, const Output& output);

// Per tone, the one write that switches to it: the PLL A registers whose bytes differ between
// any two tones of the plan (none when all tones share their bytes). No PLL reset follows.
std::vector<I2cWrite> toneWrites(const Plan& plan);

}  // namespace meridel::si5351
