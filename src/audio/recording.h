#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "audio/sound_files.h"
#include "audio/synth.h"
#include "audio/transmission.h"

namespace meridel::audio {

// What the listener chooses; anything left empty takes the first mode's convention.
struct RecordingChoice {
    std::optional<double> dialHz, seconds, snrDb;
    std::string dialName = "--dial";  // what the passband error tells to set
    SoundWords words = SoundWords::Stepped;
};

// The audio band one message's keyed tones take at the dial.
struct MessageBand {
    std::string key;   // the table's key: "wspr", "jt", ...
    std::string mode;  // "WSPR", "JT65B", ...
    double lowHz = 0;
    double highHz = 0;
};

// The messages keyed on the chip's words as one receiver hears them, ready to be written.
struct Recording {
    Listening how;
    std::vector<std::int16_t> samples;
    WaterfallView view;
    std::vector<MessageBand> bands;
};

// Keys the messages and hears them: one after another, or as the events of `cycle` key them
// when there is one. The dial defaults to the first mode's, the length to the cycle's or else
// that mode's period (WSPR 120 s, others 60 s), or longer to hold everything sent. Throws
// SoundError when a tone falls outside the passband, naming the dial to use.
Recording makeRecording(std::span<const firmware::MessageTable> tables,
                        const firmware::ChipWords& words, const RecordingChoice& choice,
                        const sequence::Cycle* cycle = nullptr);

}  // namespace meridel::audio
