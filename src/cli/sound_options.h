#pragma once

#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "firmware/chip_words.h"
#include "firmware/message_table.h"

namespace meridel::cli {

// The sound options: --wav, --waterfall, --dial, --seconds and --snr, as given.
struct SoundRequest {
    std::optional<std::string> wav, waterfall, dial, seconds, snr;
    bool any() const { return wav || waterfall || dial || seconds || snr; }
    // Stores the value of a sound option; false when `option` is not one.
    bool take(std::string_view option, const std::string& value);
};

bool isSoundOption(std::string_view option);

// The sound options read and checked; throws UsageError naming the option and what is allowed.
struct SoundPlan {
    std::optional<std::string> wav, waterfall;
    std::optional<double> dialHz, seconds, snrDb;
    bool requested() const { return wav || waterfall; }
};
SoundPlan resolveSound(const SoundRequest& request, bool anyMessage);

// Keys the messages on the chip's words and writes what a USB receiver hears: the WAV file, the
// waterfall picture, or both. Says on `err` which dial the sound is heard on (not in JSON mode).
// Throws audio::SoundError for a signal outside the passband or a file that cannot be written.
void writeSound(const SoundPlan& plan, std::span<const firmware::MessageTable> tables,
                const firmware::ChipWords& words, bool json, std::FILE* err);

}  // namespace meridel::cli
