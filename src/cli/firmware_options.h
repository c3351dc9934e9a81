#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dds/chips.h"
#include "firmware/word_decode.h"

namespace meridel::cli {

struct UsageError {
    std::string message;
};

// The firmware options as given on the command line.
struct FirmwareRequest {
    std::optional<std::string> format, dds, clock, refMult, name;
    std::vector<std::string> decode;  // every --decode text, in order

    bool any() const { return format || dds || clock || refMult || name || !decode.empty(); }
    // Stores the value of a firmware option; false when `option` is not one.
    bool take(std::string_view option, const std::string& value);
};

bool isFirmwareOption(std::string_view option);

// What the other options of the command line said, as far as the firmware options care.
struct OtherOptions {
    bool clockFields = false;  // --ref-in or --pll
    bool anyPlan = false;      // any plan or message option, --settings or --file
};

// The firmware options checked against each other and the chip's facts.
struct FirmwarePlan {
    const dds::Chip* chip = nullptr;
    bool header = false;     // --format c
    bool requested = false;  // any firmware option was given: its outputs go out all or none
    std::string clockText;   // --clock as given
    double clockHz = 0;      // --clock in Hz, 0 when not given
    std::optional<int> refMult;
    std::string prefix = "DDS";  // --name: the C header's macro prefix
};

// --name's value, or a UsageError saying what a prefix may hold.
std::string headerPrefix(const std::string& name);

// Throws UsageError naming the option and what is allowed.
FirmwarePlan resolveFirmware(const FirmwareRequest& request, const OtherOptions& others);

// The --decode texts read as words of the chip at the plan's clock; throws
// firmware::FirmwareError for a text that is not a word of the chip or holds none.
std::vector<firmware::DecodedWord> decodeWords(const FirmwarePlan& plan,
                                               const std::vector<std::string>& texts);

}  // namespace meridel::cli
