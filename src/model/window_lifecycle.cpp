#include "model/window_lifecycle.h"

#include <system_error>

#include "model/settings_file.h"

namespace meridel::model {
namespace fs = std::filesystem;
namespace {

// Names the file, the folder it is in and the system's reason, so that the user knows which
// folder to fix; the settings store's own text carries the reason.
std::string settingsMessage(const std::string& what, const fs::path& settingsFile,
                            const std::string& reason, const std::string& consequence) {
    std::error_code ec;
    fs::path folder = fs::absolute(settingsFile, ec).parent_path();
    if (ec) folder = settingsFile.parent_path();
    return what + "\n\nFile: " + settingsFile.filename().string() + "\nFolder: " + folder.string() +
           "\nReason: " + reason + "\n\n" + consequence;
}

}  // namespace

std::optional<std::string> loadMainWindow(MainWindowModel& model, const fs::path& settingsFile,
                                          SettingsNotices& notices) {
    FileSettingsStore store(settingsFile);
    std::optional<std::string> message;
    if (const auto error = readIni(model, store, notices)) {
        message = settingsMessage(
            "MERIDEL could not read its settings file, nor replace it with the default settings.",
            settingsFile, *error,
            "The window starts with the default settings. Make sure that the folder exists and "
            "holds no folder of that name, and that the file or the folder can be written, then "
            "start MERIDEL again.");
    }
    model.finishLoad();
    return message;
}

std::optional<std::string> unloadMainWindow(MainWindowModel& model, const fs::path& settingsFile,
                                            SettingsNotices& notices) {
    FileSettingsStore store(settingsFile);
    std::optional<std::string> message;
    try {
        store.write(settingsLinesOf(model));
    } catch (const SettingsError& error) {
        // A read-only file needs no advice beyond its own text, and only once.
        if (error.readOnly()) {
            message = notices.tell(error);
        } else {
            message = settingsMessage(
                "MERIDEL could not save its settings.", settingsFile, error.what(),
                "The settings file keeps its previous content and MERIDEL ends now. Make sure that "
                "the file or its folder can be written and the disk has free space to keep your "
                "settings.");
        }
    }
    model.unload();
    return message;
}

}  // namespace meridel::model
