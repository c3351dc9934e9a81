#include "support/fixtures.h"

#include <fstream>
#include <sstream>

#include "listing/output_targets.h"
#include "model/settings_file.h"

namespace meridel::testing {

namespace {
class MemoryChannel : public listing::RecordingChannel {
public:
    explicit MemoryChannel(MemoryOpener& opener)
        : RecordingChannel(opener.received), opener_(opener) {}
    void close() override {
        RecordingChannel::close();
        opener_.closed = true;
    }

private:
    MemoryOpener& opener_;
};
}  // namespace

std::unique_ptr<listing::OutputChannel> MemoryOpener::open(const std::string&) {
    opened = true;
    return std::make_unique<MemoryChannel>(*this);
}

void loadFirstStart(model::MainWindowModel& model) {
    const auto& defaults = model::defaultSettingsLines();
    model::MemorySettingsStore store({defaults.begin(), defaults.end()});
    model::applySettings(model, store);
    model.finishLoad();
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace meridel::testing
