// Register writes of each DDS chip: the data-sheet examples, and for the AD9850/51 and AD9833 a
// model of the serial interface that reads the writes back into a frequency.
#include "firmware/register_writes.h"

#include <gtest/gtest.h>

#include <array>

#include "firmware/chip_words.h"
#include "numbers/tuning_word.h"
#include "support/chip_model.h"
#include "support/plan_run.h"

namespace meridel::firmware {
namespace {

using Bytes = std::vector<std::uint8_t>;

const dds::Chip& chip(const char* name) {
    return *dds::findChip(name);
}

RegisterSetup at(double clockHz, std::optional<int> refMult = {},
                 std::optional<double> amplitude = {}, std::uint32_t phase = 0) {
    RegisterSetup s;
    s.clockHz = clockHz;
    s.refMult = refMult;
    s.amplitude = amplitude;
    s.phase = phase;
    return s;
}

TEST(RegisterWrites, DataSheetExamples) {
    // AD9851: 10 MHz at 180 MHz with the 6x multiplier, phase 11.25 degrees.
    const RegisterSetup ad9851 = at(180e6, 6, {}, 1);
    const auto w = wordWrites(chip("AD9851"), ad9851, *numbers::frequencyWord(10e6, 180e6, 32));
    EXPECT_EQ(w.at(1).bytes, (Bytes{0x09, 0x0E, 0x38, 0xE3, 0x8E}));
    EXPECT_EQ(w.at(0).bytes, (Bytes{0x8E, 0xE3, 0x38, 0x0E, 0x09}));
    // AD9910: 41 MHz at 122.88 MHz, full scale, in profile 0.
    const auto p =
        wordWrites(chip("AD9910"), at(122.88e6), *numbers::frequencyWord(41e6, 122.88e6, 32));
    EXPECT_EQ(p.at(0).bytes, (Bytes{0x0E, 0x3F, 0xFF, 0x00, 0x00, 0x55, 0x6A, 0xAA, 0xAB}));
    // The same 48-bit maths as the AD9548's example: 155.52 MHz at 1 GHz, streamed downwards.
    const auto s = wordWrites(chip("AD9912"), at(1e9), *numbers::frequencyWord(155.52e6, 1e9, 48));
    EXPECT_EQ(s.at(0).bytes, (Bytes{0x61, 0xAB, 0x27, 0xD0, 0x28, 0xA1, 0xDF, 0xB9}));
}

TEST(RegisterWrites, Ad985xSerialAndParallelReadBack) {
    const std::array<std::tuple<const char*, double, std::optional<int>, double>, 5> rows = {{
        {"AD9850", 125e6, {}, 10e6},
        {"AD9850", 125e6, {}, 0.0291},
        {"AD9850", 100e6, {}, 50.2711e6},
        {"AD9851", 180e6, 6, 70.0001e6},
        {"AD9851", 30e6, 1, 7.0386e6},
    }};
    for (const auto& [name, clock, mult, hz] : rows) {
        const RegisterSetup setup = at(clock, mult, {}, 31);
        const auto ftw = *numbers::frequencyWord(hz, clock, 32);
        const auto writes = wordWrites(chip(name), setup, ftw);
        testing::ChipModel serial{name};
        serial.write(writes.at(0).bytes);
        EXPECT_EQ(serial.ftw, testing::exactWord(hz, clock, 32)) << name << " " << hz;
        EXPECT_EQ(serial.ad985xW4, 31u << 3 | (mult == 6 ? 1u : 0u)) << name;  // phase 31
        Bytes reversed(writes.at(1).bytes.rbegin(), writes.at(1).bytes.rend());
        EXPECT_EQ(reversed, writes.at(0).bytes);
    }
}

TEST(RegisterWrites, Ad9833SequenceReadBack) {
    const dds::Chip& ad9833 = chip("AD9833");
    const RegisterSetup setup = at(25e6);
    const std::array<double, 5> tones = {1000, 0.0932, 1500.5, 7.0386e6, 12.4999e6};
    testing::ChipModel model{"AD9833"};
    const ChipSetup start = setupWrites(ad9833, setup);
    for (const auto& w : start.writes) model.write(w.bytes);
    for (std::size_t n = 0; n < tones.size(); ++n) {
        const auto ftw = *numbers::frequencyWord(tones[n], 25e6, 28);
        for (const auto& w : wordWrites(ad9833, setup, ftw)) model.write(w.bytes);
        if (n == 0) {
            EXPECT_TRUE(model.silent);
            for (const auto& w : start.afterFirstWord) model.write(w.bytes);
        }
        EXPECT_EQ(model.ftw, testing::exactWord(tones[n], 25e6, 28)) << tones[n];
        EXPECT_FALSE(model.silent) << tones[n];
        EXPECT_NEAR(model.ftw * 25e6 / 268435456.0, tones[n], 25e6 / 268435456.0 / 2) << tones[n];
    }
}

TEST(RegisterWrites, AmplitudeAndPll) {
    const auto osk = [](double a) {
        RegisterSetup s = at(200e6, {}, a);
        s.pllControl = 0x4A;
        return setupWrites(chip("AD9852"), s).writes.at(1).bytes;
    };
    EXPECT_EQ(osk(1), (Bytes{0x08, 0x0F, 0xFF}));
    EXPECT_EQ(osk(0.5), (Bytes{0x08, 0x08, 0x00}));
    EXPECT_EQ(osk(0), (Bytes{0x08, 0x00, 0x00}));
    EXPECT_THROW(osk(1.01), FirmwareError);
    EXPECT_THROW(osk(-0.1), FirmwareError);
    EXPECT_THROW(setupWrites(chip("AD9850"), at(125e6, {}, 0.5)), FirmwareError);
    EXPECT_THROW(setupWrites(chip("AD9912"), at(1e9, 41)), FirmwareError);

    // AD9910 x25 at 1 GHz: VCO5, N in bits 7..1, PLL on, then the phase detector released.
    const auto pll = setupWrites(chip("AD9910"), at(1e9, 25)).writes;
    EXPECT_EQ(pll.at(2).bytes, (Bytes{0x02, 0x05, 0x38, 0xC5, 0x32}));
    EXPECT_EQ(pll.at(3).bytes, (Bytes{0x02, 0x05, 0x38, 0xC1, 0x32}));
    EXPECT_EQ(setupWrites(chip("AD9912"), at(1e9, 40)).writes.at(0).bytes, (Bytes{0x00, 0x20, 18}));
    const std::array<std::pair<double, std::optional<int>>, 4> bands = {
        {{1e9, 5}, {600e6, 2}, {369e6, std::nullopt}, {1151e6, std::nullopt}}};
    for (const auto& [clock, band] : bands) EXPECT_EQ(ad9910VcoBand(clock), band) << clock;
}

// The AD9850/51's two forms of a word are alternatives: the model takes the serial one.
void send(testing::ChipModel& model, const std::vector<RegisterWrite>& writes) {
    for (const RegisterWrite& w : writes) {
        model.write(w.bytes);
        if (model.chip == "AD9850" || model.chip == "AD9851") break;
    }
}

// Whatever the chip powered up with, the set-up's writes alone give the clock the plan names.
TEST(RegisterWrites, SetUpsLeaveNoClockRegisterAtItsPowerUpValue) {
    const std::array<std::tuple<const char*, double, std::optional<int>>, 8> rows = {{
        {"AD9910", 1e9, {}},
        {"AD9910", 122.88e6, 1},
        {"AD9910", 1e9, 25},
        {"AD9910", 600e6, 40},
        {"AD9912", 1e9, 40},
        {"AD9912", 500e6, 4},
        {"AD9912", 1e9, 100},
        {"AD9910", 370e6, 12},
    }};
    for (const auto& [name, clock, mult] : rows) {
        testing::ChipModel model{name};
        send(model, setupWrites(chip(name), at(clock, mult)).writes);
        const double ref = clock / mult.value_or(1);
        EXPECT_EQ(name == std::string("AD9910") ? model.ad9910Clock(ref) : model.ad9912Clock(ref),
                  clock)
            << name << " x" << mult.value_or(1);
    }
    // Without its control register the AD9852 would keep its power-up PLL and update clock.
    EXPECT_THROW(setupWrites(chip("AD9852"), at(200e6)), FirmwareError);
}

TEST(RegisterWrites, KeyUpSilencesEveryChipAndKeyDownRestoresTheWord) {
    for (const dds::Chip& c : dds::chips()) {
        const std::string name(c.name);
        RegisterSetup setup =
            at(c.maxClockHz / 2, {}, c.amplitudeBits ? 0.5 : std::optional<double>{});
        setup.pllControl = 0x4A;
        const std::uint64_t ftw =
            *numbers::frequencyWord(c.maxClockHz / 7, setup.clockHz, c.wordBits);
        testing::ChipModel model{name};
        const ChipSetup start = setupWrites(c, setup);
        send(model, start.writes);
        send(model, wordWrites(c, setup, ftw));
        send(model, start.afterFirstWord);
        ASSERT_FALSE(model.silent) << name;
        const KeyingWrites keying = keyingWrites(c, setup, ftw);
        send(model, keying.up);
        EXPECT_TRUE(model.silent) << name;
        send(model, keying.down);
        EXPECT_FALSE(model.silent) << name;
        EXPECT_EQ(model.ftw, ftw) << name;
    }
}

}  // namespace
}  // namespace meridel::firmware
