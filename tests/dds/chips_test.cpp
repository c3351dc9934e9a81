// The chip table: lookup by name, multiplier rules and the limit warnings of a plan.
#include "dds/chips.h"

#include <gtest/gtest.h>

#include <array>

namespace meridel::dds {
namespace {

TEST(Chips, FoundByNameInAnyCaseWithTheirWidths) {
    struct Row {
        const char* name;
        const char* found;
        int bits, bytes;
        bool pic;
    };
    constexpr std::array<Row, 8> kRows = {{
        {"AD9852", "AD9852", 48, 6, true},
        {"ad9854", "AD9854", 48, 6, true},
        {"Ad9850", "AD9850", 32, 4, false},
        {"ad9851", "AD9851", 32, 4, false},
        {"AD9910", "AD9910", 32, 4, false},
        {"ad9912", "AD9912", 48, 6, false},
        {"AD9833", "AD9833", 28, 4, false},
        {"ad9852 ", nullptr, 0, 0, false},
    }};
    for (const Row& row : kRows) {
        const Chip* chip = findChip(row.name);
        if (!row.found) {
            EXPECT_EQ(chip, nullptr) << row.name;
            continue;
        }
        ASSERT_NE(chip, nullptr) << row.name;
        EXPECT_EQ(chip->name, row.found);
        EXPECT_EQ(chip->wordBits, row.bits) << row.name;
        EXPECT_EQ(chip->wordBytes, row.bytes) << row.name;
        EXPECT_EQ(chip->picListing, row.pic) << row.name;
        EXPECT_LE(chip->wordBits, 8 * chip->wordBytes) << row.name;
    }
    EXPECT_EQ(defaultChip().name, "AD9852");
    EXPECT_EQ(findChip(""), nullptr);
}

TEST(Chips, MultiplierRules) {
    struct Row {
        const char* chip;
        int multiplier;
        bool allowed;
    };
    constexpr std::array<Row, 17> kRows = {{
        {"AD9852", 4, true},
        {"AD9852", 20, true},
        {"AD9852", 1, true},
        {"AD9852", 3, false},
        {"AD9852", 21, false},
        {"AD9851", 6, true},
        {"AD9851", 1, true},
        {"AD9851", 5, false},
        {"AD9910", 12, true},
        {"AD9910", 127, true},
        {"AD9910", 11, false},
        {"AD9910", 128, false},
        {"AD9912", 4, true},
        {"AD9912", 40, true},
        {"AD9912", 41, false},
        {"AD9912", 2, false},
        {"AD9850", 6, false},
    }};
    for (const Row& row : kRows) {
        EXPECT_EQ(allowsMultiplier(*findChip(row.chip), row.multiplier), row.allowed)
            << row.chip << " x" << row.multiplier;
    }
    EXPECT_EQ(multiplierText(*findChip("AD9910")), "12 to 127, or 1 to bypass it");
    EXPECT_EQ(multiplierText(*findChip("AD9912")), "even values from 4, or 1 to bypass it");
    EXPECT_EQ(multiplierText(*findChip("AD9833")), "none");
}

TEST(Chips, LimitWarnings) {
    struct Row {
        const char* chip;
        double clockHz;
        std::optional<int> multiplier;
        double highestHz;
        std::vector<LimitKind> kinds;
    };
    const std::array<Row, 7> rows = {{
        {"AD9851", 180e6, 6, 14.1e6, {}},
        {"AD9851", 180.000001e6, std::nullopt, 14.1e6, {LimitKind::ClockAboveMaximum}},
        {"AD9851", 180e6, 5, 72e6, {LimitKind::UnsupportedMultiplier}},  // exactly 0.4 is fine
        {"AD9851", 180e6, std::nullopt, 72.1e6, {LimitKind::AboveCarrierLimit}},
        {"AD9833",
         30e6,
         2,
         14e6,
         {LimitKind::ClockAboveMaximum, LimitKind::UnsupportedMultiplier,
          LimitKind::AboveCarrierLimit}},
        {"AD9852", 300e6, 20, 100e6, {}},
        {"AD9910", 1e9, 1, 399e6, {}},
    }};
    for (const Row& row : rows) {
        const auto warnings =
            checkLimits(*findChip(row.chip), {row.clockHz, row.multiplier, row.highestHz, "Tone"});
        ASSERT_EQ(warnings.size(), row.kinds.size()) << row.chip << " @ " << row.clockHz;
        for (std::size_t i = 0; i < warnings.size(); ++i) {
            EXPECT_EQ(warnings[i].kind, row.kinds[i]) << warnings[i].text;
        }
    }
    const auto texts = checkLimits(*findChip("AD9910"), {1.2e9, 7, 500e6, "RTTY Mark 2125Hz"});
    EXPECT_EQ(texts[0].text,
              "the AD9910 clock of 1200 MHz is above the chip's maximum of 1000 MHz");
    EXPECT_EQ(texts[1].text,
              "the AD9910 has no reference multiplier 7: use 12 to 127, or 1 to bypass it");
    EXPECT_EQ(texts[2].text.rfind("RTTY Mark 2125Hz at 500 MHz is above 0.4 x", 0), 0u);
}

}  // namespace
}  // namespace meridel::dds
