#include "model/listen_model.h"

#include <cmath>

#include "dds/chips.h"
#include "firmware/chip_words.h"
#include "model/messages_model.h"
#include "numbers/decimal_text.h"
#include "numbers/field_number.h"

namespace meridel::model {
namespace {

using numbers::trimmedDecimalText;

bool blank(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

// A blank field is no choice; otherwise a number in low..high or the error naming the field.
std::optional<double> numberField(const std::string& text, double low, double high,
                                  const std::string& what, std::string& error) {
    if (blank(text)) return std::nullopt;
    const auto value = numbers::parseWholeNumber(text);
    if (!value || !(*value >= low && *value <= high)) error = what + " (\"" + text + "\")";
    return value;
}

std::string hertz(double hz) {
    return trimmedDecimalText(std::round(hz * 10) / 10);
}

}  // namespace

void ListenModel::update(const MainWindowModel& plan, const MessageTexts& messages) {
    recording_.reset();
    waterfall_ = {};
    summary_.clear();
    error_.clear();
    audio::RecordingChoice choice;
    choice.dialName = "Dial";
    const auto dialMHz = numberField(dialText_, 1e-6, 1e6,
                                     "Dial: give the receiver's USB dial in MHz, above 0, or leave "
                                     "it empty for the mode's own",
                                     error_);
    choice.snrDb = numberField(snrText_, -60, 60,
                               "SNR: give -60 to 60 dB of white noise in 2500 Hz, or leave it "
                               "empty for none",
                               error_);
    if (!error_.empty()) return;
    if (dialMHz) choice.dialHz = *dialMHz * 1e6;

    MessagesModel encoder;
    for (std::size_t i = 0; i < kMessageFieldCount; ++i) {
        encoder.setText(static_cast<MessageField>(i), messages[i]);
    }
    if (auto failure = encoder.encode(plan)) {
        error_ = *failure;
        return;
    }
    if (encoder.tables().empty()) {
        error_ = "Nothing to hear: fill in at least one field of the Beacon messages window";
        return;
    }
    try {
        const auto words = firmware::chipWords(encoder.words(), dds::defaultChip());
        recording_ = audio::makeRecording(encoder.tables(), words, choice);
    } catch (const firmware::FirmwareError& e) {
        error_ = e.what();
        return;
    } catch (const audio::SoundError& e) {
        error_ = e.what();
        return;
    }
    waterfall_ = audio::drawWaterfall(recording_->samples, recording_->view);
    summary_.push_back("USB dial " + trimmedDecimalText(recording_->how.dialHz / 1e6) + " MHz, " +
                       trimmedDecimalText(recording_->how.seconds) + " s");
    for (const audio::MessageBand& b : recording_->bands) {
        summary_.push_back(b.mode + ": " + hertz(b.lowHz) + " to " + hertz(b.highHz) + " Hz");
    }
}

std::optional<std::string> ListenModel::writeWav(const std::filesystem::path& path) const {
    if (!recording_) return error_;
    try {
        audio::writeWav(path.string(), recording_->samples, "the folder");
    } catch (const audio::SoundError& e) {
        return e.what();
    }
    return std::nullopt;
}

}  // namespace meridel::model
