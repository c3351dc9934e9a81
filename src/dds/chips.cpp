#include "dds/chips.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "numbers/decimal_text.h"

namespace meridel::dds {
namespace {

constexpr double kMHz = 1000000.0;
constexpr int kNoUpperBound = std::numeric_limits<int>::max();

// Facts from the data sheets, except where the note says otherwise.
constexpr std::array<Chip, 7> kChips = {{
    {
        .name = "AD9852",
        .wordBits = 48,
        .wordBytes = 6,
        .wireOrder = WireOrder::MsbFirst,
        .maxClockHz = 300 * kMHz,
        .multiplier = {.min = 4, .max = 20, .step = 1, .bypass = true, .option = "--pll"},
        .phaseBits = 14,
        .amplitudeBits = 12,
        .picListing = true,
        .registers = RegisterForm::Ad985xSerial,
        .registerNote = "in parallel mode, the lowest address holding a word's top byte is our "
                        "reading (unconfirmed)",
        .note =
            "300 MHz for the fastest grade; the plain-LQFP grade may stop at 200 MHz (unconfirmed)",
    },
    {
        .name = "AD9854",
        .wordBits = 48,
        .wordBytes = 6,
        .wireOrder = WireOrder::MsbFirst,
        .maxClockHz = 300 * kMHz,
        .multiplier = {.min = 4, .max = 20, .step = 1, .bypass = true, .option = "--pll"},
        .phaseBits = 14,
        .amplitudeBits = 12,
        .picListing = true,
        .registers = RegisterForm::Ad985xSerial,
        .registerNote = "in parallel mode, the lowest address holding a word's top byte is our "
                        "reading (unconfirmed)",
        .note =
            "as the AD9852, with I and Q outputs; the AST grade may stop at 200 MHz (unconfirmed)",
    },
    {
        .name = "AD9850",
        .wordBits = 32,
        .wordBytes = 4,
        .wireOrder = WireOrder::LsbFirstSerial,
        .maxClockHz = 125 * kMHz,
        .multiplier = {},
        .phaseBits = 5,
        .amplitudeBits = 0,
        .picListing = false,
        .registers = RegisterForm::Ad9850Word,
        .registerNote = "after reset, serial mode is entered with a W_CLK then an FQ_UD pulse "
                        "while D2..D0 = 011 (unconfirmed)",
        .note = "W0's two control bits are factory-test bits and must stay 0; whether 125 MHz "
                "holds at 3.3 V is unconfirmed",
    },
    {
        .name = "AD9851",
        .wordBits = 32,
        .wordBytes = 4,
        .wireOrder = WireOrder::LsbFirstSerial,
        .maxClockHz = 180 * kMHz,
        .multiplier = {.min = 6, .max = 6, .step = 1, .bypass = true, .option = "--ref-mult"},
        .phaseBits = 5,
        .amplitudeBits = 0,
        .picListing = false,
        .registers = RegisterForm::Ad9850Word,
        .registerNote = "after reset, serial mode is entered with a W_CLK then an FQ_UD pulse "
                        "while D2..D0 = 011 (unconfirmed)",
        .note = "the 6x multiplier is bit 0 of W0 (serial bit W32)",
    },
    {
        .name = "AD9910",
        .wordBits = 32,
        .wordBytes = 4,
        .wireOrder = WireOrder::MsbFirst,
        .maxClockHz = 1000 * kMHz,
        .multiplier = {.min = 12, .max = 127, .step = 1, .bypass = true, .option = "--ref-mult"},
        .maxPllInputHz = 60 * kMHz,
        .phaseBits = 16,
        .amplitudeBits = 14,
        .picListing = false,
        .registers = RegisterForm::Ad9910Profile,
        .registerNote =
            "CFR2 = 0x01400820 assumes the power-up value 0x00400820; the charge pump and the VCO "
            "bands are as we read them (unconfirmed)",
        .note = "words above 2^31 - 1 alias; the single-tone word goes into a profile register "
                "(0x0E, bits 31..0)",
    },
    {
        .name = "AD9912",
        .wordBits = 48,
        .wordBytes = 6,
        .wireOrder = WireOrder::MsbFirst,
        .maxClockHz = 1000 * kMHz,
        .multiplier =
            {.min = 4, .max = kNoUpperBound, .step = 2, .bypass = true, .option = "--ref-mult"},
        .phaseBits = 14,
        .amplitudeBits = 0,
        .picListing = false,
        .registers = RegisterForm::Ad9912Stream,
        .registerNote = "register 0x0022 (bit 7 VCO auto-range, bit 3 reference doubler, bits "
                        "1..0 charge pump left 0), the doubler's use below 11 MHz and register "
                        "0x0005 as a software update are unconfirmed",
        .note = "multiplier 2 x (N_DIV + 2), even only; its upper bound and running without the "
                "PLL are unconfirmed, and no DDS amplitude scaler is known",
    },
    {
        .name = "AD9833",
        .wordBits = 28,
        .wordBytes = 4,
        .wireOrder = WireOrder::TwoHalves14,
        .maxClockHz = 25 * kMHz,
        .multiplier = {},
        .phaseBits = 12,
        .amplitudeBits = 0,
        .picListing = false,
        .registers = RegisterForm::Ad9833Words,
        .registerNote = "",
        .note = "written as two 14-bit FREQ halves, low half first; no update pin: the second "
                "write takes effect",
    },
}};

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string mhz(double hz) {
    return numbers::plainDecimalText(hz / kMHz) + " MHz";
}

}  // namespace

std::span<const Chip> chips() {
    return kChips;
}

const Chip& defaultChip() {
    return kChips.front();
}

const Chip* findChip(std::string_view name) {
    for (const Chip& chip : kChips) {
        if (chip.name.size() == name.size() &&
            std::equal(name.begin(), name.end(), chip.name.begin(),
                       [](char a, char b) { return upper(a) == b; })) {
            return &chip;
        }
    }
    return nullptr;
}

std::string chipNames() {
    std::string names;
    for (const Chip& chip : kChips) {
        if (!names.empty()) names += ", ";
        names += chip.name;
    }
    return names;
}

bool hasMultiplier(const Chip& chip) {
    return chip.multiplier.max > 0;
}

bool allowsMultiplier(const Chip& chip, int multiplier) {
    const MultiplierRule& rule = chip.multiplier;
    if (multiplier == 1) return rule.bypass || !hasMultiplier(chip);
    return hasMultiplier(chip) && multiplier >= rule.min && multiplier <= rule.max &&
           (multiplier - rule.min) % rule.step == 0;
}

std::string multiplierText(const Chip& chip) {
    const MultiplierRule& rule = chip.multiplier;
    if (!hasMultiplier(chip)) return "none";
    std::string text;
    if (rule.min == rule.max) {
        text = std::to_string(rule.min);
    } else if (rule.max == kNoUpperBound) {
        text = (rule.step == 2 ? "even values from " : "values from ") + std::to_string(rule.min);
    } else {
        text = std::to_string(rule.min) + " to " + std::to_string(rule.max);
    }
    return rule.bypass ? text + ", or 1 to bypass it" : text;
}

std::vector<LimitWarning> checkLimits(const Chip& chip, const PlanLimits& plan) {
    const std::string name(chip.name);
    std::vector<LimitWarning> warnings;
    const double ratedHz = plan.ratedClockHz.value_or(plan.clockHz);
    if (ratedHz > chip.maxClockHz) {
        warnings.push_back({LimitKind::ClockAboveMaximum,
                            "the " + name + " clock of " + mhz(ratedHz) +
                                " is above the chip's maximum of " + mhz(chip.maxClockHz)});
    }
    if (plan.multiplier && !allowsMultiplier(chip, *plan.multiplier)) {
        warnings.push_back(
            {LimitKind::UnsupportedMultiplier,
             hasMultiplier(chip)
                 ? "the " + name + " has no reference multiplier " +
                       std::to_string(*plan.multiplier) + ": use " + multiplierText(chip)
                 : "the " + name + " has no reference multiplier: give its clock alone"});
    }
    if (plan.multiplier && *plan.multiplier > 1 && chip.maxPllInputHz > 0 &&
        ratedHz / *plan.multiplier > chip.maxPllInputHz) {
        const int least = static_cast<int>(std::ceil(ratedHz / chip.maxPllInputHz));
        warnings.push_back({LimitKind::PllInputAboveMaximum,
                            "the " + name + " PLL takes at most " + mhz(chip.maxPllInputHz) +
                                ", but a clock of " + mhz(ratedHz) + " at --ref-mult " +
                                std::to_string(*plan.multiplier) + " feeds it " +
                                mhz(ratedHz / *plan.multiplier) +
                                ": use a multiplier of at least " + std::to_string(least)});
    }
    std::string high, alias;
    const auto add = [](std::string& list, const NamedFrequency& tone) {
        list.append(list.empty() ? "" : ", ").append(tone.name + " at " + mhz(tone.hz));
    };
    for (const NamedFrequency& tone : plan.tones) {
        if (tone.hz >= kAliasRatio * plan.clockHz) {
            add(alias, tone);
        } else if (tone.hz > kCarrierLimitRatio * plan.clockHz) {
            add(high, tone);
        }
    }
    if (!high.empty()) {
        warnings.push_back({LimitKind::AboveCarrierLimit,
                            "above 0.4 x the " + name + " clock of " + mhz(plan.clockHz) +
                                ", where the output is poor: " + high});
    }
    if (!alias.empty()) {
        warnings.push_back({LimitKind::AliasAboveHalfClock,
                            "at or above half the " + name + " clock of " + mhz(plan.clockHz) +
                                ", the chip puts out clock - f instead: " + alias +
                                "; raise the clock or lower the DDS output (a higher RF Mult)"});
    }
    return warnings;
}

}  // namespace meridel::dds
