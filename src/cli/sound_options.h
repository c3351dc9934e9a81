#pragma once

#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "audio/recording.h"
#include "firmware/chip_words.h"
#include "firmware/message_table.h"

namespace meridel::cli {

// The sound options: --wav, --waterfall, --dial, --seconds, --snr and --sound-words, as given.
struct SoundRequest {
    std::optional<std::string> wav, waterfall, dial, seconds, snr, words;
    bool any() const { return wav || waterfall || dial || seconds || snr || words; }
    // Stores the value of a sound option; false when `option` is not one.
    bool take(std::string_view option, const std::string& value);
};

bool isSoundOption(std::string_view option);

// The sound options read and checked; throws UsageError naming the option and what is allowed.
// The words default to those the firmware output loads: a word per tone in the C header
// (`header`), the base word stepped by the interval word for the AD9852 listing. `anything`: a
// message or a cycle to key.
struct SoundPlan {
    std::optional<std::string> wav, waterfall;
    std::optional<double> dialHz, seconds, snrDb;
    audio::SoundWords words = audio::SoundWords::Stepped;
    bool requested() const { return wav || waterfall; }
};
SoundPlan resolveSound(const SoundRequest& request, bool anything, bool header);

// Keys the messages (or the cycle's events, when there is a cycle) on the chip's words and
// hears them, and checks that every file asked for can be written: all that can go wrong before
// anything is written. Throws audio::SoundError for a signal outside the passband or a file
// that cannot be written.
audio::Recording prepareSound(const SoundPlan& plan, std::span<const firmware::MessageTable> tables,
                              const firmware::ChipWords& words, const sequence::Cycle* cycle);

// Writes the WAV file, the waterfall picture, or both. Says on `err` which dial the sound is
// heard on (not in JSON mode). Throws audio::SoundError for a file that cannot be written.
void writeSound(const SoundPlan& plan, const audio::Recording& recording, bool json,
                std::FILE* err);

// The "sound" member of --json: the dial, length, sample rate, files and each message's band.
nlohmann::json soundJson(const SoundPlan& plan, const audio::Recording& recording);

}  // namespace meridel::cli
