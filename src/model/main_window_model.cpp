#include "model/main_window_model.h"

#include <algorithm>
#include <cmath>

#include "numbers/checked_math.h"
#include "numbers/decimal_text.h"
#include "numbers/field_number.h"

namespace meridel::model {
namespace {

using numbers::fieldDecimalText;
using numbers::parseFieldNumber;

std::size_t slot(Field field) {
    return static_cast<std::size_t>(field);
}

int indexOf(const std::vector<std::string>& entries, std::string_view text) {
    const auto it = std::find(entries.begin(), entries.end(), text);
    return it == entries.end() ? -1 : static_cast<int>(it - entries.begin());
}

// A derived field shows the field decimal text of a value; a value that is not finite (a
// product beyond the double range) leaves the field as it was, as the handlers do for a
// multiplier they cannot use. The calculation run reports such values as overflows.
void assignDerived(MainWindowModel& model, Field field, double value) {
    if (std::isfinite(value)) model.setFieldText(field, fieldDecimalText(value));
}

}  // namespace

TwipsPoint resultsWindowPlace(TwipsPoint mainWindowTopLeft, int mainWindowWidth) {
    constexpr int kGapTwips = 10;
    return {mainWindowTopLeft.left + mainWindowWidth + kGapTwips, mainWindowTopLeft.top};
}

const std::vector<std::string>& MainWindowModel::pllEntries() {
    static const std::vector<std::string> entries = {"20", "19", "18", "17", "16", "15",
                                                     "14", "13", "12", "11", "10", "9",
                                                     "8",  "7",  "6",  "5",  "4",  "1"};
    return entries;
}

const std::vector<std::string>& MainWindowModel::modeEntries() {
    static const std::vector<std::string> entries = {
        "JT65A", "JT65B", "JT65C", "JT44", "JT4A", "JT4B", "JT4C", "JT4D", "JT4E", "JT4F", "JT4G"};
    return entries;
}

const std::vector<std::string>& MainWindowModel::rttyShiftEntries() {
    static const std::vector<std::string> entries = {"85", "170", "425", "850"};
    return entries;
}

MainWindowModel::MainWindowModel() {
    fields_[slot(Field::ToneFreq)] = "1500";
    fields_[slot(Field::Comment)] = "Frequency data";
    mode_.entries = modeEntries();
    rttyShift_.entries = rttyShiftEntries();
}

const std::string& MainWindowModel::fieldText(Field field) const {
    return fields_[slot(field)];
}

std::string_view MainWindowModel::pllText() const {
    return pllIndex_ < 0 ? std::string_view() : std::string_view(pllEntries()[pllIndex_]);
}

void MainWindowModel::setFieldText(Field field, const std::string& text) {
    std::string& current = fields_[slot(field)];
    if (current == text) return;
    current = text;
    if (field == Field::RTTYShift) {
        rttyShift_.text = text;
        rttyShift_.index = indexOf(rttyShift_.entries, text);
    }
    onFieldChanged(field);
    notify();
}

void MainWindowModel::onFieldChanged(Field field) {
    switch (field) {
        case Field::RefIn:
            recomputeDdsClock();
            markStale();
            break;
        case Field::RFMult: {
            // Divides by the rounded multiplier; a multiplier of 0 or less leaves Fo alone.
            std::int32_t n = 0;
            if (numbers::roundsToInt32(parseFieldNumber(fieldText(Field::RFMult)), n) && n > 0) {
                assignDerived(*this, Field::Fo, parseFieldNumber(fieldText(Field::Foutput)) / n);
            }
            markStale();
            break;
        }
        case Field::Foutput: {
            // Divides by the whole RFMult text taken strictly and unrounded ("2.5" is 2.5); a
            // text that is not a number, or zero, leaves Fo alone.
            const auto m = numbers::parseWholeNumber(fieldText(Field::RFMult));
            if (m && *m != 0) {
                assignDerived(*this, Field::Fo, parseFieldNumber(fieldText(Field::Foutput)) / *m);
            }
            markStale();
            setCarrierAdjuster(false);
            break;
        }
        case Field::KeyFreq:
            setCarrierAdjuster(true);
            markStale();
            break;
        case Field::FileName:
            calculateCaption_ =
                fieldText(Field::FileName).empty() ? "Calculate" : "Calculate + Write file";
            break;
        case Field::ClockFreq:
        case Field::Fo:
        case Field::ToneFreq:
        case Field::Comment:
        case Field::RTTYShift:
            break;
    }
}

void MainWindowModel::recomputeDdsClock() {
    const double p = parseFieldNumber(pllText());
    const double r = parseFieldNumber(fieldText(Field::RefIn));
    assignDerived(*this, Field::ClockFreq, p * r);
}

void MainWindowModel::markStale() {
    results_.exists = true;  // marking creates the results window, without showing it
    results_.colour = ResultsColour::Stale;
}

void MainWindowModel::setCarrierAdjuster(bool enabled) {
    carrierAdjusterEnabled_ = enabled;
}

void MainWindowModel::notify() {
    if (listener_) listener_();
}

void MainWindowModel::selectPll(int index) {
    if (index < -1 || index >= static_cast<int>(pllEntries().size())) index = -1;
    if (index == pllIndex_) return;
    pllIndex_ = index;
    recomputeDdsClock();
    markStale();
    notify();
}

void MainWindowModel::choosePll(int index) {
    if (index < 0) {
        notify();  // the view shows the selection that stays
        return;
    }
    selectPll(index);
}

void MainWindowModel::selectPllText(std::string_view text) {
    selectPll(indexOf(pllEntries(), text));
}

void MainWindowModel::selectMode(int index) {
    if (index < -1 || index >= static_cast<int>(mode_.entries.size())) index = -1;
    mode_.index = index;
    mode_.text = index < 0 ? std::string() : mode_.entries[index];
    notify();
}

void MainWindowModel::typeModeText(const std::string& text) {
    mode_.index = indexOf(mode_.entries, text);
    mode_.text = text;
    notify();
}

void MainWindowModel::selectRttyShift(int index) {
    if (index < 0 || index >= static_cast<int>(rttyShift_.entries.size())) {
        typeRttyShiftText("");
        return;
    }
    setFieldText(Field::RTTYShift, rttyShift_.entries[index]);
}

void MainWindowModel::typeRttyShiftText(const std::string& text) {
    setFieldText(Field::RTTYShift, text);
}

void MainWindowModel::finishLoad() {
    hideWarning();
    selectRttyShift(1);
    setCarrierAdjuster(false);
    results_.exists = true;
    results_.visible = true;
    notify();
}

void MainWindowModel::clickSetCarr() {
    // The upper-sideband carrier that puts a tone of ToneFreq Hz at KeyFreq MHz.
    const double key = parseFieldNumber(fieldText(Field::KeyFreq));
    const double tone = parseFieldNumber(fieldText(Field::ToneFreq));
    assignDerived(*this, Field::Foutput, key - tone / 1000000.0);
}

std::optional<run::RunFailure> MainWindowModel::calculate(listing::OutputOpener& opener) {
    auto failure = run::runCalculation(*this, opener);
    notify();
    return failure;
}

std::optional<run::RunFailure> MainWindowModel::calculate(listing::OutputOpener& opener,
                                                          run::RunWords& words) {
    auto failure = run::runCalculation(*this, opener, words);
    notify();
    return failure;
}

void MainWindowModel::hideWarning() {
    warningVisible_ = false;
}

void MainWindowModel::showWarning(const std::string& caption) {
    warningCaption_ = caption;
    warningVisible_ = true;
}

void MainWindowModel::prepareResultsWindow() {
    results_.exists = true;
    results_.visible = true;
}

void MainWindowModel::setResultsText(std::string text) {
    results_.text = std::move(text);
}

void MainWindowModel::appendResultsText(std::string_view text) {
    results_.text += text;
}

void MainWindowModel::markResultsFresh() {
    results_.colour = ResultsColour::Fresh;
}

void MainWindowModel::disableCarrierAdjuster() {
    setCarrierAdjuster(false);
}

}  // namespace meridel::model
