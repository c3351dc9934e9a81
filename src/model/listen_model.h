#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "audio/recording.h"
#include "model/firmware_model.h"
#include "model/main_window_model.h"
#include "model/messages_settings.h"
#include "planfile/plan_file.h"

namespace meridel::model {

// The Listen window's waterfall spans at least this much audio, so that a single carrier shows
// as a line among its surroundings rather than a block that fills the picture.
inline constexpr double kMinimumSpanHz = 200;
// `view` widened about its middle to that span, within the receiver's audio band.
audio::WaterfallView withMinimumSpan(audio::WaterfallView view);

// The Listen window: the plan's AD9852 words (or the Firmware window's chip's) keyed as the Beacon
// messages window's messages say, or, with a plan file's cycle open, as that cycle's events key its
// own messages; heard by a USB receiver: the waterfall a listener sees, a WAV file, and sound to
// play. The edits only store; update() computes from the plan and messages as they are now.
class ListenModel {
public:
    // The receiver's dial in MHz; blank takes the first message's mode convention.
    const std::string& dialText() const { return dialText_; }
    void setDialText(std::string text) { dialText_ = std::move(text); }
    // White noise at this SNR in 2500 Hz (dB); blank: none.
    const std::string& snrText() const { return snrText_; }
    void setSnrText(std::string text) { snrText_ = std::move(text); }

    // With `chips`, the words are those of the Firmware window's chip, clock and calibration:
    // a word per tone for its C header, base plus n interval words for the AD9852 listing.
    void update(const MainWindowModel& plan, const MessageTexts& messages,
                const planfile::BeaconPlan* cyclePlan = nullptr,
                const FirmwareModel* chips = nullptr);
    const std::string& error() const { return error_; }  // why there is no sound
    // Where the sound is heard, its length, and each message's audio band, one to a line.
    const std::vector<std::string>& summary() const { return summary_; }
    const audio::WaterfallImage& waterfall() const { return waterfall_; }
    bool canWrite() const { return recording_.has_value(); }
    static std::string wavFileName() { return "BEACON.WAV"; }
    // The error text for the user when there is no sound or the file could not be written.
    std::optional<std::string> writeWav(const std::filesystem::path& path) const;

private:
    std::string dialText_;
    std::string snrText_;
    std::optional<audio::Recording> recording_;
    audio::WaterfallImage waterfall_;
    std::vector<std::string> summary_;
    std::string error_;
};

}  // namespace meridel::model
