#include "cli/firmware_options.h"

#include <cmath>

#include "firmware/c_header.h"
#include "firmware/chip_words.h"
#include "numbers/checked_math.h"
#include "numbers/decimal_text.h"
#include "numbers/field_number.h"
#include "numbers/quoted_text.h"

namespace meridel::cli {
namespace {

constexpr double kHzPerMHz = 1000000.0;

std::string quoted(const std::string& text) {
    return numbers::quotedText(text);
}

std::string maxClockText(const dds::Chip& chip) {
    return numbers::trimmedDecimalText(chip.maxClockHz / kHzPerMHz) + " MHz";
}

const dds::Chip& chipOf(const FirmwareRequest& request) {
    if (!request.dds) return dds::defaultChip();
    const dds::Chip* chip = dds::findChip(*request.dds);
    if (!chip) {
        throw UsageError{"--dds " + quoted(*request.dds) + " is not a chip MERIDEL knows: use " +
                         dds::chipNames()};
    }
    return *chip;
}

double clockOf(const FirmwareRequest& request) {
    const auto mhz = numbers::parsePlainNumber(*request.clock);
    if (!mhz || !std::isfinite(*mhz) || *mhz <= 0 || !std::isfinite(*mhz * kHzPerMHz)) {
        throw UsageError{"--clock " + quoted(*request.clock) +
                         " is not a clock in MHz: give the chip's system clock, such as 180"};
    }
    return *mhz * kHzPerMHz;
}

int refMultOf(const FirmwareRequest& request, const dds::Chip& chip) {
    const std::string name(chip.name);
    if (chip.picListing) {
        throw UsageError{"--ref-mult: the " + name + " multiplier is its PLL, set with --pll"};
    }
    // A chip without a multiplier still gets the value: its limit check warns about it.
    const auto value = numbers::parsePlainNumber(*request.refMult);
    std::int32_t whole = 0;
    if (!value || *value != std::floor(*value) || !numbers::roundsToInt32(*value, whole) ||
        whole < 1) {
        throw UsageError{"--ref-mult " + quoted(*request.refMult) + " is not a multiplier: the " +
                         name + " takes " +
                         (dds::hasMultiplier(chip) ? dds::multiplierText(chip) : "none")};
    }
    return whole;
}

}  // namespace

bool isFirmwareOption(std::string_view option) {
    return option == "--format" || option == "--dds" || option == "--clock" ||
           option == "--ref-mult" || option == "--name" || option == "--decode";
}

bool FirmwareRequest::take(std::string_view option, const std::string& value) {
    if (option == "--format") {
        format = value;
    } else if (option == "--dds") {
        dds = value;
    } else if (option == "--clock") {
        clock = value;
    } else if (option == "--ref-mult") {
        refMult = value;
    } else if (option == "--name") {
        name = value;
    } else if (option == "--decode") {
        decode.push_back(value);
    } else {
        return false;
    }
    return true;
}

FirmwarePlan resolveFirmware(const FirmwareRequest& request, const OtherOptions& others) {
    FirmwarePlan plan;
    plan.requested = request.any();
    plan.chip = &chipOf(request);
    const dds::Chip& chip = *plan.chip;
    const std::string name(chip.name);
    if (request.clock) {
        plan.clockText = *request.clock;
        plan.clockHz = clockOf(request);
    }

    if (!request.decode.empty()) {
        if (others.anyPlan || request.format || request.refMult || request.name) {
            throw UsageError{"--decode takes only --clock, --dds and --json: it computes no plan"};
        }
        if (!request.clock) {
            throw UsageError{"--decode needs --clock MHZ, the clock the words were made for"};
        }
        return plan;
    }

    if (request.format && *request.format != "asm" && *request.format != "c") {
        throw UsageError{"--format " + quoted(*request.format) + " is not a format: use asm or c"};
    }
    plan.header = request.format ? *request.format == "c" : !chip.picListing;
    if (!chip.picListing && !plan.header) {
        throw UsageError{"--format asm: the " + name +
                         " has no PIC assembler listing (only the AD9852 and AD9854 have): its "
                         "format is c"};
    }
    if (chip.picListing && request.clock) {
        throw UsageError{"--clock is for chips without the AD9852's PLL: the " + name +
                         " clock is --ref-in times --pll"};
    }
    if (!chip.picListing && !request.clock) {
        throw UsageError{"--dds " + name + " needs --clock MHZ, its system clock (at most " +
                         maxClockText(chip) + ")"};
    }
    if (!chip.picListing && others.clockFields) {
        throw UsageError{"--ref-in and --pll set the AD9852/AD9854 clock: for the " + name +
                         " give --clock"};
    }
    if (request.refMult) plan.refMult = refMultOf(request, chip);
    if (request.name) {
        if (!plan.header) {
            throw UsageError{"--name sets the prefix of the C header's macros: give --format c"};
        }
        plan.prefix = headerPrefix(*request.name);
    }
    return plan;
}

std::string headerPrefix(const std::string& name) {
    if (!firmware::isMacroPrefix(name)) {
        throw UsageError{"--name " + quoted(name) +
                         " is no macro prefix: use upper-case letters, digits and '_', "
                         "starting with a letter, such as BAND_2M"};
    }
    return name;
}

std::vector<firmware::DecodedWord> decodeWords(const FirmwarePlan& plan,
                                               const std::vector<std::string>& texts) {
    std::vector<firmware::DecodedWord> words;
    for (const std::string& text : texts) {
        std::vector<firmware::DecodedWord> more;
        try {
            more = firmware::decodeWords(*plan.chip, plan.clockHz, text);
        } catch (const firmware::FirmwareError& error) {
            throw firmware::FirmwareError(std::string("--decode: ") + error.what());
        }
        if (more.empty()) {
            throw firmware::FirmwareError("--decode " + numbers::quotedText(text) +
                                          " holds no word: give words such as " +
                                          firmware::kWordExample);
        }
        words.insert(words.end(), more.begin(), more.end());
    }
    return words;
}

}  // namespace meridel::cli
