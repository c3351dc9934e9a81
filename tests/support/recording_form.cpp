#include "support/recording_form.h"

#include <fstream>
#include <sstream>

#include "listing/text_encoding.h"
#include "model/settings_file.h"

namespace meridel::testing {

namespace {
const char* fieldName(run::Field field) {
    switch (field) {
        case run::Field::RefIn:
            return "RefIn";
        case run::Field::ClockFreq:
            return "ClockFreq";
        case run::Field::Foutput:
            return "Foutput";
        case run::Field::RFMult:
            return "RFMult";
        case run::Field::Fo:
            return "Fo";
        case run::Field::KeyFreq:
            return "KeyFreq";
        case run::Field::ToneFreq:
            return "ToneFreq";
        case run::Field::FileName:
            return "FileName";
        case run::Field::Comment:
            return "Comment";
        case run::Field::RTTYShift:
            return "RTTYShift";
    }
    return "?";
}
}  // namespace

void RecordingForm::setFieldText(run::Field field, const std::string& text) {
    log_.add(std::string("set ") + fieldName(field));
    MainWindowModel::setFieldText(field, text);
}
void RecordingForm::setResultsText(std::string text) {
    log_.add("results set");
    MainWindowModel::setResultsText(std::move(text));
}
void RecordingForm::appendResultsText(std::string_view text) {
    log_.add("results append");
    MainWindowModel::appendResultsText(text);
}
void RecordingForm::markResultsFresh() {
    log_.add("results fresh");
    MainWindowModel::markResultsFresh();
}
void RecordingForm::disableCarrierAdjuster() {
    log_.add("adjuster disabled");
    MainWindowModel::disableCarrierAdjuster();
}

namespace {
class MemoryChannel : public listing::OutputChannel {
public:
    MemoryChannel(MemoryOpener& opener, EffectLog* log) : opener_(opener), log_(log) {}
    void writeLine(std::string_view text) override {
        if (log_) log_->add("write");
        opener_.received += listing::toLatin1(text);
        opener_.received += "\r\n";
    }
    void close() override {
        if (log_) log_->add("close");
        opener_.closed = true;
    }

private:
    MemoryOpener& opener_;
    EffectLog* log_;
};
}  // namespace

std::unique_ptr<listing::OutputChannel> MemoryOpener::open(const std::string& upperCaseName) {
    if (log_) log_->add("open");
    if (failOpen) throw listing::OutputError("cannot open " + upperCaseName);
    opened = true;
    openedName = upperCaseName;
    return std::make_unique<MemoryChannel>(*this, log_);
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
