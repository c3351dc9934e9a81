#include "support/recording_form.h"

#include <fstream>
#include <sstream>

#include "output/text_encoding.h"
#include "ui/settings_file.h"

namespace meridel::testing {

namespace {
const char* fieldName(engine::Field field) {
    switch (field) {
        case engine::Field::RefIn:
            return "RefIn";
        case engine::Field::ClockFreq:
            return "ClockFreq";
        case engine::Field::Foutput:
            return "Foutput";
        case engine::Field::RFMult:
            return "RFMult";
        case engine::Field::Fo:
            return "Fo";
        case engine::Field::KeyFreq:
            return "KeyFreq";
        case engine::Field::ToneFreq:
            return "ToneFreq";
        case engine::Field::FileName:
            return "FileName";
        case engine::Field::Comment:
            return "Comment";
        case engine::Field::RTTYShift:
            return "RTTYShift";
    }
    return "?";
}
}  // namespace

void RecordingForm::setFieldText(engine::Field field, const std::string& text) {
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
class MemoryChannel : public output::OutputChannel {
public:
    MemoryChannel(MemoryOpener& opener, EffectLog* log) : opener_(opener), log_(log) {}
    void writeLine(std::string_view text) override {
        if (log_) log_->add("write");
        opener_.received += output::toLatin1(text);
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

std::unique_ptr<output::OutputChannel> MemoryOpener::open(const std::string& upperCaseName) {
    if (log_) log_->add("open");
    if (failOpen) throw output::OutputError("cannot open " + upperCaseName);
    opened = true;
    openedName = upperCaseName;
    return std::make_unique<MemoryChannel>(*this, log_);
}

void loadFirstStart(ui::MainWindowModel& model) {
    const auto& defaults = ui::defaultSettingsLines();
    ui::MemorySettingsStore store({defaults.begin(), defaults.end()});
    ui::applySettings(model, store);
    model.finishLoad();
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace meridel::testing
