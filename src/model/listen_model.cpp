#include "model/listen_model.h"

#include <algorithm>
#include <cmath>

#include "beacon/message_plan.h"
#include "dds/chips.h"
#include "firmware/chip_words.h"
#include "model/messages_model.h"
#include "model/plan_aside.h"
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

// What is keyed: the tables tied to the main window plan's words, and the cycle that keys them
// when there is one.
struct Keyed {
    std::vector<firmware::MessageTable> tables;
    run::RunWords words;
    std::optional<sequence::Cycle> cycle;
};

// The Beacon messages window's messages; the error for the user, or nullopt.
std::optional<std::string> keyMessages(const MainWindowModel& plan, const MessageTexts& messages,
                                       Keyed& out) {
    MessagesModel encoder;
    for (std::size_t i = 0; i < kMessageFieldCount; ++i) {
        encoder.setText(static_cast<MessageField>(i), messages[i]);
    }
    if (auto failure = encoder.encode(plan)) return failure;
    if (encoder.tables().empty()) {
        return "Nothing to hear: fill in at least one field of the Beacon messages window";
    }
    out.tables = encoder.tables();
    out.words = encoder.words();
    return std::nullopt;
}

// A plan file's cycle over the file's own messages, in the main window's JT mode.
std::optional<std::string> keyCycle(const MainWindowModel& plan, const planfile::BeaconPlan& file,
                                    Keyed& out) {
    const beacon::MessageInputs in = planfile::messageInputs(file.messages);
    try {
        std::vector<beacon::EncodedMessage> encoded =
            beacon::encodeMessages(in, plan.modeIndex(), plan.modeText());
        std::vector<firmware::MessageTable> symbols;
        for (const beacon::EncodedMessage& m : encoded) symbols.push_back(m.table);
        out.cycle = sequence::buildCycle(*file.sequence, symbols, in.cwWpm);
        const AsideRun run = runPlanAside(plan);
        if (run.failure) {
            return "The cycle keys the words of the main window's plan, which cannot be "
                   "computed: " +
                   run.failure->message;
        }
        beacon::BeaconMessages tied = beacon::tieToWords(std::move(encoded), in, run.words);
        out.tables = std::move(tied.tables);
        out.words = std::move(tied.words);
    } catch (const sequence::SequenceError& e) {
        return std::string("The plan's cycle: ") + e.what();
    } catch (const Error& e) {
        return std::string("The plan's messages: ") + e.what();
    }
    return std::nullopt;
}

}  // namespace

void ListenModel::update(const MainWindowModel& plan, const MessageTexts& messages,
                         const planfile::BeaconPlan* cyclePlan, const FirmwareModel* chips) {
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

    // The plan as the Firmware window's chip computes it, or the main window's AD9852 plan.
    std::optional<FirmwareModel::ChipPlan> chipPlan;
    if (chips) {
        chipPlan = chips->chipPlan(plan);
        if (!chipPlan->plan) {
            error_ = "The Firmware window's " + std::string(chips->chip().name) + ": " +
                     (chipPlan->error.empty() ? chipPlan->prompt : chipPlan->error);
            return;
        }
        choice.words = chips->format() == FirmwareFormat::CHeader ? audio::SoundWords::Tones
                                                                  : audio::SoundWords::Stepped;
    }
    const MainWindowModel& keyedPlan = chipPlan ? *chipPlan->plan : plan;
    Keyed keyed;
    const bool cycle = cyclePlan && cyclePlan->sequence;
    if (auto failure = cycle ? keyCycle(keyedPlan, *cyclePlan, keyed)
                             : keyMessages(keyedPlan, messages, keyed)) {
        error_ = *failure;
        return;
    }
    try {
        const auto words = chips ? chips->chipWords(keyed.words, *chipPlan)
                                 : firmware::chipWords(keyed.words, dds::defaultChip());
        recording_ = audio::makeRecording(keyed.tables, words, choice,
                                          keyed.cycle ? &*keyed.cycle : nullptr);
    } catch (const firmware::FirmwareError& e) {
        error_ = e.what();
        return;
    } catch (const audio::SoundError& e) {
        error_ = e.what();
        return;
    }
    waterfall_ = audio::drawWaterfall(recording_->samples, withMinimumSpan(recording_->view));
    summary_.push_back(
        "USB dial " + trimmedDecimalText(recording_->how.dialHz / 1e6) + " MHz, " +
        trimmedDecimalText(recording_->how.seconds) + " s" +
        (chips ? ", the " + std::string(chips->chip().name) + "'s words of the Firmware window (" +
                     (choice.words == audio::SoundWords::Tones ? "a word per tone)"
                                                               : "base plus n intervals)")
               : "") +
        (cycle ? ": the cycle of the Beacon sequence window's plan" : ""));
    for (const audio::MessageBand& b : recording_->bands) {
        summary_.push_back(b.mode + ": " + hertz(b.lowHz) + " to " + hertz(b.highHz) + " Hz");
    }
}

audio::WaterfallView withMinimumSpan(audio::WaterfallView view) {
    const double band = audio::WaterfallView{}.highHz;
    const double widen = kMinimumSpanHz - (view.highHz - view.lowHz);
    if (widen <= 0) return view;
    const double low = std::clamp(view.lowHz - widen / 2, 0.0, band - kMinimumSpanHz);
    view.lowHz = low;
    view.highHz = low + kMinimumSpanHz;
    return view;
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
