#pragma once

#include <memory>
#include <string>

#include "listing/output_channel.h"
#include "model/main_window_model.h"

namespace meridel::testing {

// An output target in memory: what a run wrote, as the file would hold it.
class MemoryOpener : public listing::OutputOpener {
public:
    std::unique_ptr<listing::OutputChannel> open(const std::string& upperCaseName) override;
    bool opened = false;
    bool closed = false;
    std::string received;  // single-byte text, CR LF after each line
};

// The window after a first start with no settings file (as the command-line tool starts).
void loadFirstStart(model::MainWindowModel& model);

// Reads a file whole, as bytes ("" when it cannot be read).
std::string readBytes(const std::string& path);

}  // namespace meridel::testing
