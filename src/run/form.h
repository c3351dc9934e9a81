#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace meridel::run {

// The main window's text fields that a calculation run reads or writes.
enum class Field {
    RefIn,
    ClockFreq,
    Foutput,
    RFMult,
    Fo,
    KeyFreq,
    ToneFreq,
    FileName,
    Comment,
    RTTYShift,  // the text the RTTY shift combo box shows
};

// What a calculation run sees of the main window and the results window. The window model
// implements it, so the run is written once and driven by the desktop window and the
// command-line tool alike. Setting a field's text runs that field's change handling at once,
// before setFieldText returns, exactly as if the user had typed the change.
class Form {
public:
    virtual ~Form() = default;

    virtual const std::string& fieldText(Field field) const = 0;
    virtual void setFieldText(Field field, const std::string& text) = 0;

    // Text of the selected PLL multiplier entry; empty when nothing is selected.
    virtual std::string_view pllText() const = 0;
    // Selected mode entry (0 to 10), -1 when none; and the text the mode list shows.
    virtual std::int16_t modeIndex() const = 0;
    virtual const std::string& modeText() const = 0;

    // Range warning label.
    virtual void hideWarning() = 0;
    virtual void showWarning(const std::string& caption) = 0;

    // Results window: make sure it exists and switch on its start-of-run flag (it is shown).
    virtual void prepareResultsWindow() = 0;
    virtual void setResultsText(std::string text) = 0;
    virtual void appendResultsText(std::string_view text) = 0;
    virtual const std::string& resultsText() const = 0;
    virtual void markResultsFresh() = 0;

    // The carrier adjuster (button and its label, always together).
    virtual void disableCarrierAdjuster() = 0;
};

}  // namespace meridel::run
