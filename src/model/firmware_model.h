#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "dds/chips.h"
#include "firmware/c_header.h"
#include "firmware/chip_words.h"
#include "firmware/message_table.h"
#include "model/main_window_model.h"

namespace meridel::model {

enum class FirmwareFormat { AsmListing, CHeader };

// One line of the words table, as the window shows it.
struct FirmwareWordRow {
    std::string name, bytes, requestedHz, actualHz, errorHz;
    std::string antennaHz, antennaErrorHz;  // after RF Mult
    // A message's own tone word is coloured by how far it lies from its tone: more than 0.01 of
    // the spacing is a warning, more than a quarter an error.
    enum class Level { Plain, Warn, Error } level = Level::Plain;
};

// How the clock is corrected before the words are computed: by parts per million or billion
// (positive when the clock runs fast), or from a counter's reading of the carrier at the antenna.
enum class Calibration { None, Ppm, Ppb, MeasuredHz };

// The Firmware window: the main window's plan as the words of a chosen DDS chip, its limit
// warnings, and the file to export in the chosen format. The edits only store; update() computes
// from the plan as it is now.
class FirmwareModel {
public:
    static std::vector<std::string> chipEntries();
    static std::string formatName(FirmwareFormat format);

    const dds::Chip& chip() const;
    int chipIndex() const { return chipIndex_; }
    void selectChip(int index);  // a format the chip does not have becomes the C header
    // The AD9852/54 run at the main window's DDS clock; the others at a clock of their own.
    bool ownClock() const { return !chip().picListing; }
    // The fields take plain numbers ("180", "2.5"; "180 MHz" or "14,0971" is an error naming
    // the field). Each chip keeps the texts typed for it; a chip without a clock yet shows a
    // prompt, not an error.
    const std::string& clockText() const { return clockTexts_[chipSlot()]; }  // MHz
    void setClockText(std::string text) { clockTexts_[chipSlot()] = std::move(text); }
    // The chip's own reference multiplier (the AD9852/54 have the main window's PLL instead).
    bool ownMultiplier() const { return ownClock() && dds::hasMultiplier(chip()); }
    std::string multiplierRule() const { return dds::multiplierText(chip()); }
    const std::string& multiplierText() const { return multiplierTexts_[chipSlot()]; }
    void setMultiplierText(std::string text) { multiplierTexts_[chipSlot()] = std::move(text); }
    // What the multiplier field shows: the text typed for this chip, the main window's PLL for
    // the AD9852/54, nothing for a chip without a multiplier.
    std::string shownMultiplier(const MainWindowModel& plan) const;
    std::vector<FirmwareFormat> formats() const;
    FirmwareFormat format() const { return format_; }
    void selectFormat(FirmwareFormat format);

    // The messages last encoded in the Beacon messages window: their own tone words join the
    // table, the checks and the exported header.
    void setMessageTables(std::vector<firmware::MessageTable> tables) {
        tables_ = std::move(tables);
    }

    static std::vector<std::string> calibrationEntries();  // in Calibration's order
    Calibration calibration() const { return calibration_; }
    const std::string& calibrationText() const { return calibrationText_; }
    void setCalibration(Calibration kind, std::string text) {
        calibration_ = kind;
        calibrationText_ = std::move(text);
    }
    // "clock corrected by ... ppb ...", or empty without a correction.
    std::string correctionNote() const;

    // The main window's plan as the chosen chip computes it: a chip with a clock of its own takes
    // it as the reference with the PLL bypassed, and the calibration corrects the clock.
    struct ChipPlan {
        std::optional<MainWindowModel> plan;  // none: `error` or `prompt` says why
        std::optional<int> refMult;
        std::optional<firmware::ClockNote> correction;
        std::string shownClock, error, prompt;
    };
    ChipPlan chipPlan(const MainWindowModel& plan) const;
    // The words of a completed run of a chip plan, for this chip.
    firmware::ChipWords chipWords(const run::RunWords& words, const ChipPlan& plan) const;

    void update(const MainWindowModel& plan);
    const std::string& shownClock() const { return shownClock_; }  // MHz, what the words use
    const std::vector<FirmwareWordRow>& rows() const { return rows_; }
    const std::vector<std::string>& warnings() const { return warnings_; }
    const std::string& error() const { return error_; }    // why there are no words
    const std::string& prompt() const { return prompt_; }  // what to give for words
    bool canExport() const { return words_.has_value(); }
    std::string exportFileName() const;
    // The file of the chosen format: the listing's bytes, or the C header.
    std::optional<std::string> exportTo(const std::filesystem::path& path) const;

private:
    int chipIndex_ = 0;
    std::size_t chipSlot() const { return static_cast<std::size_t>(chipIndex_); }

    std::vector<std::string> clockTexts_ = std::vector<std::string>(dds::chips().size());
    std::vector<std::string> multiplierTexts_ = std::vector<std::string>(dds::chips().size());
    FirmwareFormat format_ = FirmwareFormat::AsmListing;
    Calibration calibration_ = Calibration::None;
    std::string calibrationText_;
    std::optional<firmware::ClockNote> correction_;
    std::vector<firmware::MessageTable> tables_;
    std::vector<firmware::MessageTable> shownTables_;  // those the words have base words for

    std::string shownClock_;
    std::optional<firmware::ChipWords> words_;
    std::string listing_;
    std::vector<FirmwareWordRow> rows_;
    std::vector<std::string> warnings_;
    std::string error_;
    std::string prompt_;
};

// The Decode words dialog: words already in a firmware read back at a clock (MHz).
struct DecodedRow {
    std::string bytes, ftw, hz;
    std::string note;  // what the chip puts out instead, or empty
};
struct DecodeResult {
    std::vector<DecodedRow> rows;
    std::string error;  // names the field and what it takes
};
DecodeResult decodeWordsText(const dds::Chip& chip, const std::string& clockMHz,
                             const std::string& words);

}  // namespace meridel::model
