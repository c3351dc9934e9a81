#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "beacon/message_plan.h"
#include "cli/firmware_options.h"
#include "firmware/c_header.h"
#include "firmware/chip_words.h"
#include "model/main_window_model.h"
#include "numbers/rational.h"

namespace meridel::cli {

// The options for the Si5351, register writes and clock correction, as given.
struct ChipRequest {
    std::optional<std::string> xtal, clkin, clk, amplitude, measured, measuredAt, ppm, ppb;
    bool registers = false;  // --registers

    bool any() const {
        return xtal || clkin || clk || amplitude || measured || measuredAt || ppm || ppb ||
               registers;
    }
    // Stores the value of one of these options; false when `option` is not one.
    bool take(std::string_view option, const std::string& value);
};

bool isChipOption(std::string_view option);
bool isSi5351(const FirmwareRequest& firmware);

// The clock correction of --ppm or --ppb (true clock / nominal clock), nullopt when neither is
// given. Throws UsageError for a value that is not a number or a correction of -10^6 ppm or
// below, and when both are given or one of them comes with --measured.
std::optional<numbers::Rational> givenCorrection(const ChipRequest& request);

// The correction --measured gives for a carrier whose word makes `expectedHz` at the chip:
// the counter reads at the antenna (RF Mult times the chip's output) unless --measured-at dds.
numbers::Rational measuredCorrection(const ChipRequest& request,
                                     const numbers::Rational& expectedHz, int rfMult);

// What --ppm, --ppb or --measured did to a DDS chip's clock, for every output.
struct ClockCorrection {
    numbers::Rational factor;
    double nominalHz = 0;
    double correctedHz = 0;
    std::string source;  // "--ppm 2.5"
};

// Applies a clock correction to a DDS chip's plan before its run: the clock of --clock, or the
// reference field of the AD9852/54 (its clock is reference x PLL). `foHz` is the carrier at the
// chip, for --measured. nullopt when no correction is asked for. Throws UsageError.
std::optional<ClockCorrection> correctDdsClock(const ChipRequest& request, FirmwarePlan& plan,
                                               model::MainWindowModel& model);

// The additions to a DDS chip's outputs: the register writes (with --registers or --amplitude:
// the set-up, each word's, keying, and each message table's per tone, indexed by symbol) and
// the clock correction, as a JSON object; `extras` gets what the C header adds of them.
// Throws firmware::FirmwareError.
nlohmann::json chipAdditions(const ChipRequest& request, const firmware::ChipWords& words,
                             const std::optional<ClockCorrection>& correction,
                             firmware::HeaderExtras& extras,
                             std::span<const firmware::MessageTable> tables = {});

// A whole meridel-cli invocation for the Si5351 (--dds Si5351). `prepare` brings the window
// model to the plan of the command line. Returns the exit status.
struct Si5351Invocation {
    FirmwareRequest firmware;
    ChipRequest chip;
    beacon::MessageInputs messages;
    std::function<void(model::MainWindowModel&)> prepare;
    std::optional<std::string> file;
    bool json = false;
    // An error's text as reported: with the plan file's line where the file gave the value.
    std::function<std::string(const std::string&)> reported = [](const std::string& m) {
        return m;
    };
};
int runSi5351(const Si5351Invocation& invocation, std::FILE* out, std::FILE* err);

}  // namespace meridel::cli
