#include "cli/sound_options.h"

#include <algorithm>
#include <cmath>

#include "audio/sound_files.h"
#include "audio/synth.h"
#include "audio/transmission.h"
#include "cli/firmware_options.h"
#include "numbers/decimal_text.h"
#include "numbers/field_number.h"

namespace meridel::cli {
namespace {

// How long a recording is unless --seconds says: the period its decoder reads.
constexpr double kWsprPeriodSeconds = 120;
constexpr double kPeriodSeconds = 60;

double numberIn(std::string_view option, const std::string& text, double low, double high,
                const char* allowed) {
    const auto value = numbers::parseWholeNumber(text);
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
    std::optional<std::string>* slot = option == "--wav"         ? &wav
                                       : option == "--waterfall" ? &waterfall
                                       : option == "--dial"      ? &dial
                                       : option == "--seconds"   ? &seconds
                                       : option == "--snr"       ? &snr
                                                                 : nullptr;
    if (slot) *slot = value;
    return slot != nullptr;
}

SoundPlan resolveSound(const SoundRequest& request, bool anyMessage) {
    SoundPlan plan;
    plan.wav = request.wav;
    plan.waterfall = request.waterfall;
    if (!plan.requested()) {
        if (request.any()) {
            throw UsageError{
                "--dial, --seconds and --snr shape the sound: give --wav FILE or "
                "--waterfall FILE.png as well"};
        }
        return plan;
    }
    if (!anyMessage) {
        throw UsageError{
            "--wav and --waterfall need a message to key: give --jt-message, "
            "--wspr-message, --fsk441-message, --pi4-message, --cw-message or "
            "--rtty-message"};
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

void writeSound(const SoundPlan& plan, std::span<const firmware::MessageTable> tables,
                const firmware::ChipWords& words, bool json, std::FILE* err) {
    const audio::Transmission transmission = audio::beaconTransmission(tables, words);
    audio::Listening how;
    how.dialHz = plan.dialHz.value_or(audio::defaultDialHz(transmission));
    audio::checkPassband(transmission, how.dialHz);
    const double period = transmission.firstMode == "WSPR" ? kWsprPeriodSeconds : kPeriodSeconds;
    how.seconds = plan.seconds.value_or(std::max(period, std::ceil(transmission.seconds())));
    how.snrDb = plan.snrDb;
    const auto samples = audio::listen(transmission.segments, how);
    if (plan.wav) audio::writeWav(*plan.wav, samples);
    if (plan.waterfall) {
        const audio::ToneSpan span = audio::keyedSpan(transmission);
        double shortest = how.seconds;
        for (const audio::Segment& s : transmission.segments) {
            if (s.keyed) shortest = std::min(shortest, s.seconds);
        }
        audio::writeWaterfall(
            *plan.waterfall, samples,
            audio::viewAround(span.lowHz - how.dialHz, span.highHz - how.dialHz, shortest));
    }
    if (!json) {
        std::fprintf(err, "meridel-cli: the sound as a USB receiver tuned to %s MHz hears it\n",
                     numbers::trimmedDecimalText(how.dialHz / 1e6).c_str());
    }
}

}  // namespace meridel::cli
