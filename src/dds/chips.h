#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace meridel::dds {

// How the chip takes a tuning word on its bus. The C header always spells words most
// significant byte first; this says what the firmware has to do with them.
enum class WireOrder {
    MsbFirst,        // register bytes most significant first (SPI or parallel)
    LsbFirstSerial,  // AD9850/51 serial load: FTW bytes low to high, each byte LSB first
    TwoHalves14,     // AD9833: two 14-bit FREQ writes, low half first (B28 set)
};

// The reference clock multipliers a chip accepts. `min`..`max` in steps of `step`; `bypass`
// allows 1 (multiplier off). A chip without a multiplier has min = max = 0.
struct MultiplierRule {
    int min = 0;
    int max = 0;
    int step = 1;
    bool bypass = false;
    std::string_view option;  // the meridel-cli option that sets it
};

// Which register writer programs the chip.
enum class RegisterForm {
    Ad985xSerial,   // AD9852/54: serial instruction byte + register, 12-bit OSK multiplier
    Ad9850Word,     // AD9850/51: the 40-bit word W0..W4
    Ad9833Words,    // AD9833: 16-bit control, FREQ0 and PHASE0 words
    Ad9910Profile,  // AD9910: 64-bit single-tone profile, CFR words for its PLL
    Ad9912Stream,   // AD9912: 16-bit instruction + FTW stream, PLL N divider
};

struct Chip {
    std::string_view name;
    int wordBits = 0;
    int wordBytes = 0;
    WireOrder wireOrder = WireOrder::MsbFirst;
    double maxClockHz = 0;
    MultiplierRule multiplier;
    double maxPllInputHz = 0;  // the most the reference multiplier's input takes; 0: not known
    int phaseBits = 0;
    int amplitudeBits = 0;    // 0: no amplitude scaling in the DDS
    bool picListing = false;  // the AD9852 register listing for PIC assembler applies
    RegisterForm registers = RegisterForm::Ad985xSerial;
    std::string_view registerNote;  // register facts not yet confirmed, for the outputs
    std::string_view note;          // what a builder must know, including facts not yet confirmed
};

// Every chip, in the order the help and README list them; the first is the default.
std::span<const Chip> chips();
const Chip& defaultChip();
// Case-insensitive: "ad9851" finds the AD9851. nullptr for an unknown name.
const Chip* findChip(std::string_view name);
// "AD9850, AD9851, ..." for messages.
std::string chipNames();

bool hasMultiplier(const Chip& chip);
bool allowsMultiplier(const Chip& chip, int multiplier);
// "4 to 20, or 1 to bypass the PLL"; "none" without a multiplier.
std::string multiplierText(const Chip& chip);

enum class LimitKind {
    ClockAboveMaximum,
    UnsupportedMultiplier,
    PllInputAboveMaximum,
    AboveCarrierLimit,
    AliasAboveHalfClock
};
struct LimitWarning {
    LimitKind kind;
    std::string text;
    // A word at or above half the clock comes out as its alias (clock - f): no words then.
    bool refuses() const { return kind == LimitKind::AliasAboveHalfClock; }
};

struct NamedFrequency {
    std::string name;
    double hz = 0;
};

// What a plan asks of the chip beyond its limits: a clock above its maximum, a multiplier it
// does not have or whose input (clock / multiplier) is too fast, words above 0.4 x clock (each
// named). Only words at or above half the clock
// refuse; the others are warnings that do not stop the words being computed.
struct PlanLimits {
    double clockHz = 0;
    std::optional<int> multiplier;
    std::vector<NamedFrequency> tones;
    std::optional<double> ratedClockHz;  // for the maximum; the clock itself when absent
};
std::vector<LimitWarning> checkLimits(const Chip& chip, const PlanLimits& plan);

// Above this fraction of the clock the output's spurs grow; the data sheets' own headline
// output limits are 0.4 x clock.
inline constexpr double kCarrierLimitRatio = 0.4;
// A sampled output cannot tell f from clock - f above this fraction.
inline constexpr double kAliasRatio = 0.5;

}  // namespace meridel::dds
