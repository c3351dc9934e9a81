// ReadIni over arbitrary file bytes, through the real settings file in a private folder: it
// never fails while the folder is writable, leaves a mode index of -1 to 10, and either keeps
// the file as it was or replaces it whole by the default lines (never a half-written file).
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "model/main_window_model.h"
#include "model/settings_file.h"

namespace {
namespace fs = std::filesystem;

// A private folder for the settings file, removed when the process ends.
class ScratchFolder {
public:
    ScratchFolder()
        : folder_(fs::temp_directory_path() / ("meridel-fuzz-ini-" + std::to_string(::getpid()))) {
        fs::create_directories(folder_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    fs::path file() const { return folder_ / meridel::model::kSettingsFileName; }

private:
    fs::path folder_;
};

const fs::path& settingsPath() {
    static const ScratchFolder scratch;
    static const fs::path path = scratch.file();
    return path;
}

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const fs::path& path = settingsPath();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;

    meridel::model::MainWindowModel model;
    meridel::model::FileSettingsStore store(path);
    const auto error = meridel::model::readIni(model, store);
    FUZZ_CHECK(!error.has_value());
    FUZZ_CHECK(model.modeIndex() >= -1 && model.modeIndex() <= 10);

    const std::string after = fileBytes(path);
    FUZZ_CHECK(after == bytes || after == "12.8\r\n16\r\n1\r\n50.505\r\n \r\n \r\n2\r\n");
    FUZZ_CHECK(!fs::exists(fs::path(path).concat(".tmp")));
    return 0;
}
