// The command line read into what each option asks for, before anything is computed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "beacon/message_plan.h"
#include "cli/chip_options.h"
#include "cli/firmware_options.h"
#include "cli/message_options.h"
#include "cli/sequence_options.h"
#include "cli/sound_options.h"
#include "model/main_window_model.h"

namespace meridel::cli {

// A field option: the edit it makes on the window model.
using Edit = std::function<void(model::MainWindowModel&)>;

struct Options {
    std::vector<Edit> edits;  // in command-line order
    std::vector<std::string> notices;
    std::optional<std::string> settingsFile;
    std::optional<std::string> file;  // the last --file
    FirmwareRequest firmware;
    ChipRequest chip;
    OtherOptions others;
    beacon::MessageInputs messages;
    std::optional<std::string> symbolFile;
    SequenceRequest sequence;
    SoundRequest sound;
    bool json = false;
    bool help = false;
    bool version = false;
};

// Throws UsageError for an unknown option, a missing value or a value an option refuses.
Options parseOptions(const std::vector<std::string>& args);

}  // namespace meridel::cli
