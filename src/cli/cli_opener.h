// Where meridel-cli's runs write their listing.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "listing/output_targets.h"

namespace meridel::cli {

// The run's target: the listing file, or standard output (plain mode) / the null device (JSON
// mode) when FileName is empty; in JSON mode every byte the target receives is also recorded.
class CliOpener : public listing::OutputOpener {
public:
    // `listingOut`: an unnamed listing goes to `out`; otherwise (a C header is printed
    // instead) to the null device.
    // With a `batch`, a named listing is only recorded, and joins the batch.
    CliOpener(std::FILE* out, bool record, bool listingOut = true,
              listing::FileBatch* batch = nullptr)
        : out_(out), record_(record), listingOut_(listingOut), batch_(batch) {}

    std::unique_ptr<listing::OutputChannel> open(const std::string& upperCaseName) override;
    bool opened() const { return opened_; }
    const std::string& received() const { return received_; }
    // The listing's file, when the batch holds it.
    const std::optional<std::filesystem::path>& listingPath() const { return listingPath_; }
    // A listing held back for standard output.
    bool heldForOutput() const { return batch_ && opened_ && !listingPath_ && !record_; }

private:
    std::FILE* out_;
    bool record_;
    bool listingOut_;
    listing::FileBatch* batch_;
    std::optional<std::filesystem::path> listingPath_;
    bool opened_ = false;
    std::string received_;
};

// A run that writes nothing: it only hands back the words.
class NullOpener : public listing::OutputOpener {
public:
    std::unique_ptr<listing::OutputChannel> open(const std::string&) override {
        return listing::openNullDevice();
    }
};

}  // namespace meridel::cli
