#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run/calculation_run.h"
#include "run/form.h"

namespace meridel::model {

using run::Field;

// Colour of the results text: black after a run, the stale green after an edit
// that invalidates it.
enum class ResultsColour { Fresh, Stale };

// A combo box with an editable text: a selected entry (or -1) and the text it shows. Typing a
// text that is not an entry leaves no selection, with the typed text shown.
struct ComboState {
    std::vector<std::string> entries;
    int index = -1;
    std::string text;
};

// A point in twips (1/1440 inch), the unit the windows are laid out in.
struct TwipsPoint {
    int left = 0;
    int top = 0;
    bool operator==(const TwipsPoint&) const = default;
};

// Where the load handler opens the results window: 10 twips right of the main window's outer
// right edge, level with its outer top, so the two windows stand side by side.
TwipsPoint resultsWindowPlace(TwipsPoint mainWindowTopLeft, int mainWindowWidth);

// The results window as the model sees it.
struct ResultsWindowState {
    bool exists = false;   // created on first use (marking stale creates it without showing)
    bool visible = false;  // our start-of-run flag: every run shows it
    std::string text;      // lines separated by CR LF, no CR LF after the last line
    ResultsColour colour = ResultsColour::Fresh;
};

// Everything the main window shows and does, without any widget: the field texts, the list
// selections, enabled states, the warning label, the results window, and the change handlers
// that run (nested, at once) whenever a text or selection changes, whether the user typed it
// or code assigned it. Assigning the text a field already holds runs nothing.
class MainWindowModel : public run::Form {
public:
    // The window as created, before its load handler runs (every field at its initial content).
    MainWindowModel();

    static const std::vector<std::string>& pllEntries();
    static const std::vector<std::string>& modeEntries();
    static const std::vector<std::string>& rttyShiftEntries();

    // --- what the view shows -------------------------------------------------------------
    const std::string& fieldText(Field field) const override;
    int pllIndex() const { return pllIndex_; }
    std::string_view pllText() const override;
    const ComboState& mode() const { return mode_; }
    const ComboState& rttyShift() const { return rttyShift_; }
    std::int16_t modeIndex() const override { return static_cast<std::int16_t>(mode_.index); }
    const std::string& modeText() const override { return mode_.text; }
    bool carrierAdjusterEnabled() const { return carrierAdjusterEnabled_; }
    bool warningVisible() const { return warningVisible_; }
    const std::string& warningCaption() const { return warningCaption_; }
    const std::string& calculateCaption() const { return calculateCaption_; }
    const ResultsWindowState& results() const { return results_; }

    // --- edits, by the user or by code ---------------------------------------------------
    void setFieldText(Field field, const std::string& text) override;
    void selectPll(int index);                   // -1 clears the selection
    void selectPllText(std::string_view text);   // the entry with that text, or none
    void selectMode(int index);                  // -1 clears the selection
    void typeModeText(const std::string& text);  // the entry with that text, or -1 showing it
    void selectRttyShift(int index);
    void typeRttyShiftText(const std::string& text);
    // The user's choice in the PLL list: it moves the selection but never clears it (as a
    // Ctrl+click on the selected entry would), since a run needs a multiplier. Code still can.
    void choosePll(int index);
    // The user edits the results text box between runs (it is not read-only).
    void editResultsText(std::string text) {
        results_.text = std::move(text);
        notify();
    }

    // --- events ---------------------------------------------------------------------------
    // Load handler steps after the settings are read: hide the warning, select the RTTY shift
    // "170", disable the carrier adjuster, show the results window.
    void finishLoad();
    // The carrier adjuster: moves Foutput so the tone lands on the KeyFreq frequency.
    void clickSetCarr();
    // One calculation run (the Calculate button).
    std::optional<run::RunFailure> calculate(listing::OutputOpener& opener);
    // The same run, handing back its words (replaced only when the run completes).
    std::optional<run::RunFailure> calculate(listing::OutputOpener& opener, run::RunWords& words);
    // The user closes the results window: it is only hidden.
    void closeResultsWindow() {
        results_.visible = false;
        notify();
    }
    // Unload: the results window is hidden before the program ends.
    void unload() { closeResultsWindow(); }

    // Called after every change, so that a view can show the new state.
    void setChangeListener(std::function<void()> listener) { listener_ = std::move(listener); }

    // --- the run's side of the results window and warning label -------------------------
    void hideWarning() override;
    void showWarning(const std::string& caption) override;
    void prepareResultsWindow() override;
    void setResultsText(std::string text) override;
    void appendResultsText(std::string_view text) override;
    const std::string& resultsText() const override { return results_.text; }
    void markResultsFresh() override;
    void disableCarrierAdjuster() override;

    // The DDS clock: ClockFreq becomes the PLL entry's number times the RefIn number.
    void recomputeDdsClock();

private:
    void onFieldChanged(Field field);
    void markStale();
    void setCarrierAdjuster(bool enabled);
    void notify();

    std::string fields_[10];
    int pllIndex_ = -1;
    ComboState mode_;
    ComboState rttyShift_;
    bool carrierAdjusterEnabled_ = false;
    bool warningVisible_ = false;
    std::string warningCaption_;
    std::string calculateCaption_ = "Calculate";
    ResultsWindowState results_;
    std::function<void()> listener_;
};

}  // namespace meridel::model
