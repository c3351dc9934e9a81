#include "cli/sound_options.h"

#include <algorithm>
#include <cmath>

#include "audio/sound_files.h"
#include "cli/firmware_options.h"
#include "numbers/decimal_text.h"
#include "numbers/field_number.h"

namespace meridel::cli {
namespace {

double numberIn(std::string_view option, const std::string& text, double low, double high,
                const char* allowed) {
    const auto value = numbers::parsePlainNumber(text);
    if (!value || !(*value >= low && *value <= high)) {
        throw UsageError{std::string(option) + " \"" + text + "\" is not " + allowed};
    }
    return *value;
}

}  // namespace

bool isSoundOption(std::string_view option) {
    return SoundRequest{}.take(option, "");
}

bool SoundRequest::take(std::string_view option, const std::string& value) {
    std::optional<std::string>* slot = option == "--wav"           ? &wav
                                       : option == "--waterfall"   ? &waterfall
                                       : option == "--dial"        ? &dial
                                       : option == "--seconds"     ? &seconds
                                       : option == "--snr"         ? &snr
                                       : option == "--sound-words" ? &words
                                                                   : nullptr;
    if (slot) *slot = value;
    return slot != nullptr;
}

SoundPlan resolveSound(const SoundRequest& request, bool anything, bool header) {
    SoundPlan plan;
    plan.wav = request.wav;
    plan.waterfall = request.waterfall;
    if (!plan.requested()) {
        if (request.dial || request.seconds || request.snr) {
            throw UsageError{
                "--dial, --seconds and --snr shape the sound: give --wav FILE or "
                "--waterfall FILE.png as well"};
        }
        if (request.words) {
            throw UsageError{
                "--sound-words chooses the words the sound is built from: give --wav FILE or "
                "--waterfall FILE.png as well"};
        }
        return plan;
    }
    if (!anything) {
        throw UsageError{
            "--wav and --waterfall need a message to key: give --jt-message, "
            "--wspr-message, --fsk441-message, --pi4-message, --cw-message or "
            "--rtty-message"};
    }
    plan.words = header ? audio::SoundWords::Tones : audio::SoundWords::Stepped;
    if (request.words == "stepped") {
        plan.words = audio::SoundWords::Stepped;
    } else if (request.words == "tones") {
        plan.words = audio::SoundWords::Tones;
    } else if (request.words) {
        throw UsageError{"--sound-words \"" + *request.words + "\" is not stepped or tones"};
    }
    if (request.dial) {
        plan.dialHz =
            1e6 * numberIn("--dial", *request.dial, 1e-6, 1e6, "a dial frequency in MHz above 0");
    }
    if (request.seconds) {
        plan.seconds =
            numberIn("--seconds", *request.seconds, 1, 3600, "a length of 1 to 3600 seconds");
    }
    if (request.snr) {
        plan.snrDb = numberIn("--snr", *request.snr, -60, 60, "an SNR of -60 to 60 dB");
    }
    return plan;
}

audio::Recording prepareSound(const SoundPlan& plan, std::span<const firmware::MessageTable> tables,
                              const firmware::ChipWords& words, const sequence::Cycle* cycle) {
    audio::RecordingChoice choice{plan.dialHz, plan.seconds, plan.snrDb};
    choice.words = plan.words;
    audio::Recording recording = audio::makeRecording(tables, words, choice, cycle);
    if (plan.wav) audio::checkWritable(*plan.wav, "the WAV file", "--wav");
    if (plan.waterfall) {
        audio::checkWritable(*plan.waterfall, "the waterfall picture", "--waterfall");
    }
    return recording;
}

void writeSound(const SoundPlan& plan, const audio::Recording& recording, bool json,
                std::FILE* err) {
    if (plan.wav) audio::writeWav(*plan.wav, recording.samples);
    if (plan.waterfall) audio::writeWaterfall(*plan.waterfall, recording.samples, recording.view);
    if (!json) {
        std::fprintf(err, "meridel-cli: the sound as a USB receiver tuned to %s MHz hears it\n",
                     numbers::trimmedDecimalText(recording.how.dialHz / 1e6).c_str());
    }
}

nlohmann::json soundJson(const SoundPlan& plan, const audio::Recording& recording) {
    using nlohmann::json;
    json bands = json::array();
    for (const audio::MessageBand& b : recording.bands) {
        bands.push_back(
            {{"key", b.key}, {"mode", b.mode}, {"low_hz", b.lowHz}, {"high_hz", b.highHz}});
    }
    return {{"dial_hz", recording.how.dialHz},
            {"seconds", recording.how.seconds},
            {"sample_rate", audio::kSampleRate},
            {"wav", plan.wav ? json(*plan.wav) : json(nullptr)},
            {"waterfall", plan.waterfall ? json(*plan.waterfall) : json(nullptr)},
            {"messages", bands}};
}

}  // namespace meridel::cli
