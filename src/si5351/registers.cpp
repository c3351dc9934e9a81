#include "si5351/registers.h"

#include <algorithm>

namespace meridel::si5351 {
namespace {

constexpr std::uint8_t kOutputEnable = 3;
constexpr std::uint8_t kPllInputSource = 15;
constexpr std::uint8_t kClkControl = 16;
constexpr std::uint8_t kMultisynth0Block = 42;
constexpr std::uint8_t kSpreadSpectrum = 149;
constexpr std::uint8_t kPllReset = 177;
constexpr std::uint8_t kCrystalLoad = 183;

std::uint8_t byte(std::uint32_t v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}

int log2Of(int r) {
    int k = 0;
    while ((1 << k) < r) ++k;
    return k;
}

}  // namespace

Parameters parameters(const Feedback& f) {
    // 128 x (a + b/c) - 512 = P1 + P2 / P3, with P1 taking the whole part.
    const std::uint64_t scaled = 128ULL * f.b;
    const std::uint64_t floorPart = scaled / f.c;
    return {static_cast<std::uint32_t>(128ULL * f.a + floorPart - 512),
            static_cast<std::uint32_t>(scaled - f.c * floorPart), f.c};
}

Block pack(const Parameters& p, int rDivider, bool divideBy4) {
    const std::uint32_t r = static_cast<std::uint32_t>(log2Of(rDivider));
    return {byte(p.p3 >> 8),
            byte(p.p3),
            byte((r << 4) | (divideBy4 ? 0x0C : 0) | ((p.p1 >> 16) & 0x03)),
            byte(p.p1 >> 8),
            byte(p.p1),
            byte(((p.p3 >> 16) << 4) | ((p.p2 >> 16) & 0x0F)),
            byte(p.p2 >> 8),
            byte(p.p2)};
}

std::optional<Unpacked> unpack(std::span<const std::uint8_t, 8> b) {
    const std::uint32_t p3 = ((b[5] >> 4) << 16) | (b[0] << 8) | b[1];
    const std::uint32_t p1 = ((b[2] & 0x03u) << 16) | (b[3] << 8) | b[4];
    const std::uint32_t p2 = ((b[5] & 0x0Fu) << 16) | (b[6] << 8) | b[7];
    const int r = 1 << ((b[2] >> 4) & 0x07);
    if ((b[2] & 0x0C) == 0x0C) return Unpacked{Rational(4), r};
    if (p3 == 0 || p2 >= p3) return std::nullopt;
    // a + b/c = ((P1 + 512) x P3 + P2) / (128 x P3)
    const numbers::Int128 c = p3;
    return Unpacked{Rational((numbers::Int128(p1) + 512) * c + p2, 128 * c), r};
}

std::optional<Rational> decodeFrequency(const Rational& referenceHz,
                                        std::span<const std::uint8_t, 8> pllBlock,
                                        std::span<const std::uint8_t, 8> multisynthBlock) {
    const auto pll = unpack(pllBlock);
    const auto ms = unpack(multisynthBlock);
    if (!pll || !ms) return std::nullopt;
    return referenceHz * pll->divider / (ms->divider * Rational(ms->rDivider));
}

std::vector<I2cWrite> setupWrites(const Plan& plan, const Output& output) {
    const auto clk = static_cast<std::uint8_t>(output.clk);
    const Block pll = pack(parameters(plan.tones.front().feedback));
    const bool by4 = plan.outputDivider == 4;
    const Block ms = pack(by4 ? Parameters{0, 0, 1}
                              : parameters({static_cast<std::uint32_t>(plan.outputDivider), 0, 1}),
                          plan.rDivider, by4);
    // Powered up, whole-number multisynth, from PLL A, not inverted, multisynth as source.
    const std::uint8_t drive = static_cast<std::uint8_t>((output.driveMa / 2 - 1) & 0x03);
    const std::uint8_t control = 0x4C | drive;
    const std::uint8_t load = output.loadPf == 6 ? 0x52 : output.loadPf == 8 ? 0x92 : 0xD2;

    std::vector<I2cWrite> writes;
    writes.push_back({kOutputEnable, {0xFF}, "all outputs off while programming"});
    writes.push_back(
        {kPllInputSource,
         {static_cast<std::uint8_t>(output.clkin ? 0x04 : 0x00)},
         output.clkin ? "PLL A from CLKIN (register fact unconfirmed)" : "PLL A from the crystal"});
    writes.push_back({kSpreadSpectrum, {0x00}, "spread spectrum off (new parts start with it on)"});
    if (!output.clkin) {
        writes.push_back({kCrystalLoad,
                          {load},
                          "crystal load " + std::to_string(output.loadPf) +
                              " pF (bits 5..0 = 010010 as reserved, unconfirmed)"});
    }
    writes.push_back({kPllABlock, {pll.begin(), pll.end()}, "PLL A feedback for tone 0"});
    writes.push_back({static_cast<std::uint8_t>(kMultisynth0Block + 8 * clk),
                      {ms.begin(), ms.end()},
                      "MS" + std::to_string(clk) + " = " + std::to_string(plan.outputDivider) +
                          ", R = " + std::to_string(plan.rDivider)});
    writes.push_back({static_cast<std::uint8_t>(kClkControl + clk),
                      {control},
                      "CLK" + std::to_string(clk) + " on, integer multisynth from PLL A, " +
                          std::to_string(output.driveMa) + " mA"});
    writes.push_back({kPllReset, {0x20}, "reset PLL A"});
    writes.push_back({kOutputEnable,
                      {static_cast<std::uint8_t>(~(1u << clk) & 0xFF)},
                      "CLK" + std::to_string(clk) + " output on"});
    return writes;
}

std::vector<I2cWrite> toneWrites(const Plan& plan) {
    std::vector<Block> blocks;
    for (const TonePlan& t : plan.tones) blocks.push_back(pack(parameters(t.feedback)));
    int first = 8, last = -1;
    for (const Block& b : blocks) {
        for (int i = 0; i < 8; ++i) {
            if (b[static_cast<std::size_t>(i)] != blocks.front()[static_cast<std::size_t>(i)]) {
                first = std::min(first, i);
                last = std::max(last, i);
            }
        }
    }
    std::vector<I2cWrite> writes;
    if (last < 0) return writes;
    for (std::size_t n = 0; n < blocks.size(); ++n) {
        writes.push_back({static_cast<std::uint8_t>(kPllABlock + first),
                          {blocks[n].begin() + first, blocks[n].begin() + last + 1},
                          "tone " + std::to_string(n)});
    }
    return writes;
}

}  // namespace meridel::si5351
