// The Si5351 at its edges: the set-up bytes of each wiring, the divide-by-4 path above 150 MHz,
// ties between output dividers, the accuracy note's threshold and blocks the decoder refuses.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "si5351/registers.h"

namespace meridel::si5351 {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The bytes each register holds once the set-up is written.
std::map<int, Bytes> registersAfter(const std::vector<I2cWrite>& writes) {
    std::map<int, Bytes> last;
    for (const I2cWrite& w : writes) last[w.reg] = w.bytes;
    return last;
}

// Register 177: bit 5 resets PLL A (bit 7 would reset PLL B). Register 183: the crystal load in
// bits 7..6 (01 6 pF, 10 8 pF, 11 10 pF) over the reserved 010010; none with CLKIN.
TEST(Si5351Edges, EachWiringSetsItsOwnBytes) {
    const Plan p = plan(Rational(25000000), std::vector{Rational(10000000)});
    const struct {
        Output output;
        std::uint8_t source, enable;
        int load;  // -1: not written
    } cases[] = {{{.clk = 0, .loadPf = 6}, 0x00, 0xFE, 0x52},
                 {{.clk = 1, .loadPf = 8}, 0x00, 0xFD, 0x92},
                 {{.clk = 2, .loadPf = 10}, 0x00, 0xFB, 0xD2},
                 {{.clk = 1, .clkin = true}, 0x04, 0xFD, -1}};
    for (const auto& c : cases) {
        const auto regs = registersAfter(setupWrites(p, c.output));
        EXPECT_EQ(regs.at(177), Bytes{0x20});
        EXPECT_EQ(regs.at(15), Bytes{c.source});
        EXPECT_EQ(regs.at(3), Bytes{c.enable});
        EXPECT_EQ(regs.count(183) ? int(regs.at(183).at(0)) : -1, c.load) << c.output.loadPf;
        EXPECT_EQ(regs.count(42 + 8 * c.output.clk), 1u);
        EXPECT_EQ(regs.count(16 + c.output.clk), 1u);
    }
}

// From 150 to 225 MHz only the divide-by-4 path keeps PLL A at 600-900 MHz; at exactly 150 MHz
// and at 10 MHz several even dividers make the tone exactly and the smallest wins.
TEST(Si5351Edges, DivideByFourAboveHundredFiftyMegahertzAndTiesToTheSmallestDivider) {
    const struct {
        long long hz;
        int divider;
    } cases[] = {{10000000, 60}, {100000000, 6}, {149999999, 6},
                 {150000000, 4}, {160000000, 4}, {225000000, 4}};
    for (const auto& c : cases) {
        const Plan p = plan(Rational(25000000), std::vector{Rational(c.hz)});
        EXPECT_EQ(p.outputDivider, c.divider) << c.hz;
        const Bytes ms = registersAfter(setupWrites(p, {})).at(42);
        // Divide by 4: MS0_DIVBY4 (bits 3..2) set with P1 = P2 = 0 and P3 = 1.
        EXPECT_EQ(ms[2] & 0x0C, c.divider == 4 ? 0x0C : 0) << c.hz;
        if (c.divider == 4) {
            EXPECT_EQ(ms, (Bytes{0x00, 0x01, 0x0C, 0, 0, 0, 0, 0}));
        }
        const Block pll = pack(parameters(p.tones[0].feedback));
        EXPECT_EQ(decodeFrequency(Rational(25000000), pll,
                                  std::span<const std::uint8_t, 8>(ms.data(), 8)),
                  p.tones[0].actualHz);
    }
    EXPECT_THROW(plan(Rational(25000000), std::vector{Rational(225000001)}), PlanError);
}

TEST(Si5351Edges, AccuracyNoteFromJustAboveTheTolerance) {
    const Plan p =
        plan(Rational(25000000), std::vector{Rational(144489000) + Rational(1270, 1) / 7});
    const Rational worst = p.worstErrorHz();
    ASSERT_GT(worst, Rational(0));
    EXPECT_EQ(accuracyNote(p, worst), "");
    EXPECT_NE(accuracyNote(p, worst - worst / Rational(1000)), "");
}

// P3 = 0 and P2 >= P3 set no divider; P2 = P3 - 1 at the widest fields does, and the R bits
// count up to 128.
TEST(Si5351Edges, DecoderBoundaries) {
    const auto block = [](std::uint32_t p1, std::uint32_t p2, std::uint32_t p3, int r) {
        return pack({p1, p2, p3}, r);
    };
    EXPECT_FALSE(unpack(block(0, 0, 0, 1)));
    EXPECT_FALSE(unpack(block(1000, 5, 5, 1)));
    EXPECT_FALSE(unpack(block(1000, 0xFFFFF, 0xFFFFF, 1)));
    const auto widest = unpack(block(0x3FFFF, 0xFFFFE, 0xFFFFF, 128));
    ASSERT_TRUE(widest);
    EXPECT_EQ(widest->divider,
              Rational(numbers::Int128(0x3FFFF + 512) * 0xFFFFF + 0xFFFFE, 128 * 0xFFFFF));
    EXPECT_EQ(widest->rDivider, 128);
    const auto by4 = unpack(pack({0, 0, 1}, 2, true));
    ASSERT_TRUE(by4);
    EXPECT_EQ(by4->divider, Rational(4));
    EXPECT_EQ(by4->rDivider, 2);
}

}  // namespace
}  // namespace meridel::si5351
