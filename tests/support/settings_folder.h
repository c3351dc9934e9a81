#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "model/settings_file.h"
#include "support/recording_form.h"
#include "support/scratch_folder.h"

namespace meridel::testing {

// The bytes of the settings file that the recovery path writes.
inline const std::string kDefaultSettingsBytes = "12.8\r\n16\r\n1\r\n50.505\r\n \r\n \r\n2\r\n";

// A test with its own working folder and a "MERIDEL.INI" path in it.
class SettingsFolder : public ::testing::Test {
protected:
    void writeFile(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    std::string fileBytes() const { return readBytes(path.string()); }

    // A start-up: the window as created, then ReadIni.
    std::optional<std::string> start(model::MainWindowModel& model) {
        model::FileSettingsStore store(path);
        return model::readIni(model, store);
    }

    ScratchFolder scratch{"settings"};
    std::filesystem::path folder = scratch.path();
    std::filesystem::path path = folder / model::kSettingsFileName;
};

}  // namespace meridel::testing
