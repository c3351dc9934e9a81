#pragma once

#include <string>
#include <vector>

#include "listing/output_channel.h"
#include "model/main_window_model.h"

namespace meridel::testing {

// The window model, logging the effects a run has on it in the order they happen, and an
// opener that keeps what the target received in memory and logs opening, writes and closing.
class EffectLog {
public:
    void add(std::string effect) { effects_.push_back(std::move(effect)); }
    const std::vector<std::string>& effects() const { return effects_; }

private:
    std::vector<std::string> effects_;
};

class RecordingForm : public model::MainWindowModel {
public:
    explicit RecordingForm(EffectLog& log) : log_(log) {}
    void setFieldText(run::Field field, const std::string& text) override;
    void setResultsText(std::string text) override;
    void appendResultsText(std::string_view text) override;
    void markResultsFresh() override;
    void disableCarrierAdjuster() override;

private:
    EffectLog& log_;
};

class MemoryOpener : public listing::OutputOpener {
public:
    explicit MemoryOpener(EffectLog* log = nullptr) : log_(log) {}
    std::unique_ptr<listing::OutputChannel> open(const std::string& upperCaseName) override;

    bool opened = false;
    std::string openedName;
    std::string received;  // ISO 8859-1 bytes with CR LF
    bool closed = false;
    bool failOpen = false;

private:
    EffectLog* log_;
};

// The window after a first start with no settings file (as the command-line tool starts).
void loadFirstStart(model::MainWindowModel& model);

// Reads a file whole, as bytes.
std::string readBytes(const std::string& path);

}  // namespace meridel::testing
