#include "dds/chips.h"

#include <algorithm>
#include <array>
#include <limits>

#include "numbers/decimal_text.h"

namespace meridel::dds {
namespace {

constexpr double kMHz = 1000000.0;
constexpr int kNoUpperBound = std::numeric_limits<int>::max();

// Facts from the data sheets, except where the note says otherwise.
constexpr std::array<Chip, 7> kChips = {{
    {"AD9852",
     48,
     6,
     WireOrder::MsbFirst,
     300 * kMHz,
     {4, 20, 1, true, "--pll"},
     14,
     12,
     true,
     "300 MHz for the fastest grade; the plain-LQFP grade may stop at 200 MHz (unconfirmed)"},
    {"AD9854",
     48,
     6,
     WireOrder::MsbFirst,
     300 * kMHz,
     {4, 20, 1, true, "--pll"},
     14,
     12,
     true,
     "as the AD9852, with I and Q outputs; the AST grade may stop at 200 MHz (unconfirmed)"},
    {"AD9850",
     32,
     4,
     WireOrder::LsbFirstSerial,
     125 * kMHz,
     {},
     5,
     0,
     false,
     "W0's two control bits are factory-test bits and must stay 0; whether 125 MHz holds at "
     "3.3 V is unconfirmed"},
    {"AD9851",
     32,
     4,
     WireOrder::LsbFirstSerial,
     180 * kMHz,
     {6, 6, 1, true, "--ref-mult"},
     5,
     0,
     false,
     "the 6x multiplier is bit 0 of W0 (serial bit W32)"},
    {"AD9910",
     32,
     4,
     WireOrder::MsbFirst,
     1000 * kMHz,
     {12, 127, 1, true, "--ref-mult"},
     16,
     14,
     false,
     "words above 2^31 - 1 alias; the single-tone word goes into a profile register "
     "(0x0E, bits 31..0)"},
    {"AD9912",
     48,
     6,
     WireOrder::MsbFirst,
     1000 * kMHz,
     {4, kNoUpperBound, 2, true, "--ref-mult"},
     14,
     0,
     false,
     "multiplier 2 x (N_DIV + 2), even only; its upper bound and running without the PLL are "
     "unconfirmed, and no DDS amplitude scaler is known"},
    {"AD9833",
     28,
     4,
     WireOrder::TwoHalves14,
     25 * kMHz,
     {},
     12,
     0,
     false,
     "written as two 14-bit FREQ halves, low half first; no update pin: the second write "
     "takes effect"},
}};

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string mhz(double hz) {
    return numbers::trimmedDecimalText(hz / kMHz) + " MHz";
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
    if (plan.clockHz > chip.maxClockHz) {
        warnings.push_back({LimitKind::ClockAboveMaximum,
                            "the " + name + " clock of " + mhz(plan.clockHz) +
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
