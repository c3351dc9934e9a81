#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "model/main_window_model.h"
#include "model/settings_file.h"

namespace meridel::model {

// The main window's load and unload handlers around the settings file. Both return the text of
// a message for the user when the settings file failed in a way that has no recovery; the
// window shows it once and goes on (load) or still ends the program (unload). A read-only
// settings file is left as it is and told about once, through the notices both handlers share.

// Load: ReadIni from `settingsFile` (relative names are taken in the working directory), then
// hide the warning label, select the RTTY shift "170", disable the carrier adjuster and show the
// results window. When the file could be neither read nor replaced by the defaults, the window
// holds the defaults in memory.
std::optional<std::string> loadMainWindow(MainWindowModel& model,
                                          const std::filesystem::path& settingsFile,
                                          SettingsNotices& notices);

// Unload: write the seven settings lines of the window as it is, then hide the results window.
std::optional<std::string> unloadMainWindow(MainWindowModel& model,
                                            const std::filesystem::path& settingsFile,
                                            SettingsNotices& notices);

}  // namespace meridel::model
