#include "model/firmware_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "firmware/c_header.h"
#include "firmware/tone_words.h"
#include "firmware/word_checks.h"
#include "firmware/word_decode.h"
#include "model/plan_aside.h"
#include "numbers/checked_math.h"
#include "numbers/clock_correction.h"
#include "numbers/decimal_text.h"
#include "numbers/field_number.h"
#include "numbers/tuning_word.h"

namespace meridel::model {
namespace {

using numbers::trimmedDecimalText;

constexpr double kHzPerMHz = 1000000.0;

// Hertz as the word table shows them: plain decimals of up to 15 significant digits, never an
// exponent (a word's error is often a few microhertz), to the picohertz at most, without trailing
// zeros.
std::string tableHz(double hz) {
    const double magnitude = std::fabs(hz);
    const int whole = magnitude < 1 ? 1 : static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", std::clamp(15 - whole, 0, 12), hz);
    std::string text = buffer;
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

// The AD9852/54 listing gives interval words in their low four bytes; the other chips load
// them whole.
int intervalBytes(const dds::Chip& chip) {
    return chip.picListing ? 4 : chip.wordBytes;
}

bool blank(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

// The clock field in hertz, or the text that says what it takes.
std::optional<double> clockHz(const dds::Chip& chip, const std::string& text, std::string& error) {
    const auto mhz = numbers::parsePlainNumber(text);
    if (mhz && *mhz > 0 && std::isfinite(*mhz * kHzPerMHz)) return *mhz * kHzPerMHz;
    error = "Clock: \"" + text + "\" is not a clock in MHz; give the " + std::string(chip.name) +
            "'s system clock, a number above 0 such as " +
            trimmedDecimalText(chip.maxClockHz / kHzPerMHz);
    return std::nullopt;
}

std::optional<int> multiplier(const dds::Chip& chip, const std::string& text, std::string& error) {
    const double value = numbers::parsePlainNumber(text).value_or(0);
    std::int32_t whole = 0;
    if (value == std::floor(value) && numbers::roundsToInt32(value, whole) && whole >= 1) {
        return whole;
    }
    error = "Multiplier: \"" + text + "\" is not a multiplier; the " + std::string(chip.name) +
            " takes " + dds::multiplierText(chip) + ", or leave it empty";
    return std::nullopt;
}

FirmwareWordRow rowOf(const firmware::ChipWord& w, int bytes, std::int32_t rfMult) {
    const double r = rfMult;
    return {w.name,
            numbers::wordBytesText(w.ftw, bytes),
            tableHz(w.requestedHz),
            tableHz(w.actualHz),
            tableHz(w.actualHz - w.requestedHz),
            tableHz(w.actualHz * r),
            tableHz((w.actualHz - w.requestedHz) * r)};
}

FirmwareWordRow toneRow(const firmware::MessageTable& table, const firmware::TableTones& tones,
                        const firmware::ToneWord& t, const dds::Chip& chip) {
    FirmwareWordRow row{table.mode + " tone " + std::to_string(t.tone),
                        numbers::wordBytesText(t.ftw, chip.wordBytes),
                        tableHz(t.requestedHz),
                        tableHz(t.actualHz),
                        tableHz(t.actualHz - t.requestedHz),
                        tableHz(t.antennaHz),
                        tableHz(t.antennaErrorHz)};
    if (tones.spacingHz > 0) {
        const auto verdict = firmware::toneVerdict(std::fabs(t.antennaErrorHz) / tones.spacingHz);
        row.level = verdict == firmware::StepVerdict::Refuse ? FirmwareWordRow::Level::Error
                    : verdict == firmware::StepVerdict::Warn ? FirmwareWordRow::Level::Warn
                                                             : FirmwareWordRow::Level::Plain;
    }
    return row;
}

constexpr const char* kCalibrationRule =
    "a number: ppm or ppb positive when the clock runs fast, or the carrier in Hz as a counter "
    "reads it at the antenna";

numbers::Rational exact(double value) {
    const auto r = numbers::Rational::fromDouble(value);
    return r ? numbers::roundedTo(*r, 1000000000) : numbers::Rational(0);
}

// The factor true clock / nominal clock of a calibration field, or the reason there is none.
std::optional<numbers::Rational> calibrationFactor(Calibration kind, const std::string& text,
                                                   const MainWindowModel& plan, double nominalHz,
                                                   const dds::Chip& chip, std::string& error) {
    const auto value = numbers::parsePlainNumber(text);
    std::optional<numbers::Rational> factor;
    if (value && std::isfinite(*value) && std::fabs(*value) < 1e12) {
        if (kind == Calibration::Ppm) factor = numbers::factorFromPpm(exact(*value));
        if (kind == Calibration::Ppb) factor = numbers::factorFromPpb(exact(*value));
        if (kind == Calibration::MeasuredHz) {
            const double foHz = numbers::parseFieldNumber(plan.fieldText(Field::Fo)) * kHzPerMHz;
            const double rfMult = numbers::parseFieldNumber(plan.fieldText(Field::RFMult));
            const auto ftw = numbers::frequencyWord(foHz, nominalHz, chip.wordBits);
            if (ftw && rfMult >= 1) {
                const double carrier = numbers::wordFrequency(*ftw, nominalHz, chip.wordBits);
                factor = numbers::factorFromMeasurement(exact(carrier * std::round(rfMult)),
                                                        exact(*value));
            }
        }
    }
    if (!factor && value && kind == Calibration::MeasuredHz) {
        error = "Calibration: measured \"" + text + "\" Hz is more than " +
                std::to_string(numbers::kMaxCorrectionPpm) +
                " ppm off the carrier at the antenna; give the counter's reading in Hz";
    } else if (!factor && value) {
        const std::string limit = std::to_string(numbers::kMaxCorrectionPpm);
        error = "Calibration: \"" + text + (kind == Calibration::Ppm ? "\" ppm" : "\" ppb") +
                " is more than a real clock is off; give -" + limit + " to " + limit + " ppm (-" +
                limit + "000 to " + limit + "000 ppb)";
    } else if (!factor) {
        error = "Calibration: \"" + text + "\" is no correction; give " + kCalibrationRule;
    }
    return factor;
}

std::string entryOf(Calibration kind) {
    return FirmwareModel::calibrationEntries()[static_cast<std::size_t>(kind)];
}

}  // namespace

std::vector<std::string> FirmwareModel::chipEntries() {
    std::vector<std::string> names;
    for (const dds::Chip& chip : dds::chips()) names.emplace_back(chip.name);
    return names;
}

std::string FirmwareModel::formatName(FirmwareFormat format) {
    return format == FirmwareFormat::AsmListing ? "Assembler listing" : "C header";
}

const dds::Chip& FirmwareModel::chip() const {
    return dds::chips()[static_cast<std::size_t>(chipIndex_)];
}

void FirmwareModel::selectChip(int index) {
    if (index < 0 || index >= static_cast<int>(dds::chips().size())) return;
    chipIndex_ = index;
    if (!chip().picListing) format_ = FirmwareFormat::CHeader;
}

std::vector<FirmwareFormat> FirmwareModel::formats() const {
    if (chip().picListing) return {FirmwareFormat::AsmListing, FirmwareFormat::CHeader};
    return {FirmwareFormat::CHeader};
}

void FirmwareModel::selectFormat(FirmwareFormat format) {
    if (format == FirmwareFormat::CHeader || chip().picListing) format_ = format;
}

FirmwareModel::ChipPlan FirmwareModel::chipPlan(const MainWindowModel& plan) const {
    ChipPlan out;
    const dds::Chip& c = chip();
    std::optional<std::string> clock;
    if (ownClock()) {
        out.shownClock = clockText();
        if (blank(clockText())) {
            out.prompt = "Give the " + std::string(c.name) + "'s system clock in MHz (at most " +
                         trimmedDecimalText(c.maxClockHz / kHzPerMHz) + ") to see its words.";
            return out;
        }
        if (!clockHz(c, clockText(), out.error)) return out;
        clock = clockText();
    } else {
        const std::string& field = plan.fieldText(Field::ClockFreq);
        out.shownClock = field.substr(std::min(field.find_first_not_of(' '), field.size()));
    }
    if (ownClock()) {
        // As in meridel-cli: a multiplier chain after these chips takes a whole factor.
        const auto rfMult = numbers::parseWholeNumber(plan.fieldText(Field::RFMult));
        if (!rfMult || !(*rfMult >= 1 && *rfMult <= 1000) || *rfMult != std::floor(*rfMult)) {
            out.error = "RF Mult: \"" + plan.fieldText(Field::RFMult) +
                        "\" is out of range for the " + std::string(c.name) +
                        ": give a whole number from 1 to 1000";
            return out;
        }
    }
    if (ownMultiplier() && !blank(multiplierText())) {
        out.refMult = multiplier(c, multiplierText(), out.error);
        if (!out.refMult) return out;
    }
    MainWindowModel corrected(plan);
    corrected.setChangeListener({});  // the main window shows the plan as typed
    if (calibration_ != Calibration::None && !blank(calibrationText_)) {
        const double refIn = numbers::parseFieldNumber(plan.fieldText(Field::RefIn)) * kHzPerMHz;
        const double nominalHz =
            clock ? numbers::parsePlainNumber(*clock).value_or(0) * kHzPerMHz
                  : numbers::parseFieldNumber(plan.fieldText(Field::ClockFreq)) * kHzPerMHz;
        if (!(nominalHz > 0) || !(refIn > 0)) {
            out.error = "Calibration: the plan has no clock to correct";
            return out;
        }
        const auto factor =
            calibrationFactor(calibration_, calibrationText_, plan, nominalHz, c, out.error);
        if (!factor) return out;
        firmware::ClockNote note;
        note.ppb = numbers::partsPerBillion(*factor).toDouble();
        note.source = entryOf(calibration_) + " " + calibrationText_;
        note.nominalHz = nominalHz;
        try {
            note.correctedHz = numbers::correctedClock(exact(nominalHz), *factor).toDouble();
            if (clock) {
                clock = trimmedDecimalText(note.correctedHz / kHzPerMHz);
            } else {
                const double ref = numbers::correctedClock(exact(refIn), *factor).toDouble();
                corrected.setFieldText(Field::RefIn, trimmedDecimalText(ref / kHzPerMHz));
            }
        } catch (const numbers::RationalOverflow&) {
            out.error = "Calibration: \"" + calibrationText_ + "\" is too large for this clock";
            return out;
        }
        out.correction = note;
    }
    // As meridel-cli runs a chip of its own clock.
    if (clock) {
        corrected.setFieldText(Field::RefIn, *clock);
        corrected.selectPllText("1");
    }
    out.plan = std::move(corrected);
    return out;
}

firmware::ChipWords FirmwareModel::chipWords(const run::RunWords& words,
                                             const ChipPlan& plan) const {
    firmware::ChipWords out = firmware::chipWords(words, chip(), plan.refMult);
    if (plan.correction) out.ratedClockHz = plan.correction->nominalHz;
    return out;
}

void FirmwareModel::update(const MainWindowModel& plan) {
    words_.reset();
    listing_.clear();
    rows_.clear();
    warnings_.clear();
    ChipPlan chipPlan = this->chipPlan(plan);
    shownClock_ = std::move(chipPlan.shownClock);
    error_ = std::move(chipPlan.error);
    prompt_ = std::move(chipPlan.prompt);
    correction_ = chipPlan.correction;
    if (!chipPlan.plan) return;
    const dds::Chip& c = chip();
    AsideRun run = runPlanAside(*chipPlan.plan);
    if (run.failure) {
        error_ = run.failure->message;
        return;
    }
    try {
        words_ = chipWords(run.words, chipPlan);
    } catch (const Error& e) {
        error_ = e.what();
        return;
    }
    listing_ = std::move(run.listing);
    for (const auto& w : words_->tones) rows_.push_back(rowOf(w, c.wordBytes, words_->rfMult));
    for (const auto& w : words_->intervals) {
        rows_.push_back(rowOf(w, intervalBytes(c), words_->rfMult));
    }
    shownTables_.clear();
    for (const firmware::MessageTable& table : tables_) {
        try {
            const firmware::TableTones tones = firmware::tableTones(table, *words_);
            for (const firmware::ToneWord& t : tones.tones)
                rows_.push_back(toneRow(table, tones, t, c));
            shownTables_.push_back(table);
        } catch (const firmware::FirmwareError&) {
            // A table whose words this plan lacks (PI4 adds its own) is left out.
        }
    }
    firmware::WordChecks checks = firmware::checkWords(*words_, shownTables_);
    warnings_ = std::move(checks.warnings);
    if (!checks.refusals.empty()) {
        // The table still shows the words, but none is exported that puts the beacon off.
        for (const std::string& refusal : checks.refusals) {
            error_.append(error_.empty() ? "" : "; ").append(refusal);
        }
        words_.reset();
        listing_.clear();
    }
}

std::vector<std::string> FirmwareModel::calibrationEntries() {
    return {"none", "ppm", "ppb", "measured"};
}

std::string FirmwareModel::correctionNote() const {
    return correction_ ? firmware::clockNoteText(*correction_) : std::string();
}

std::string FirmwareModel::shownMultiplier(const MainWindowModel& plan) const {
    if (ownMultiplier()) return multiplierText();
    return ownClock() ? std::string() : std::string(plan.pllText());
}

std::string FirmwareModel::exportFileName() const {
    return format_ == FirmwareFormat::AsmListing ? "BEACON.ASM" : "beacon.h";
}

std::optional<std::string> FirmwareModel::exportTo(const std::filesystem::path& path) const {
    if (!words_) return "Nothing to export: " + (error_.empty() ? prompt_ : error_);
    if (format_ == FirmwareFormat::AsmListing) return writeWholeFile(path, listing_);
    firmware::HeaderExtras extras;
    extras.correction = correction_;
    return writeWholeFile(path, firmware::cHeader(*words_, shownTables_, "meridel", "DDS", extras));
}

DecodeResult decodeWordsText(const dds::Chip& chip, const std::string& clockMHz,
                             const std::string& words) {
    DecodeResult result;
    const auto hz = clockHz(chip, clockMHz, result.error);
    if (!hz) return result;
    std::vector<firmware::DecodedWord> decoded;
    try {
        decoded = firmware::decodeWords(chip, *hz, words);
    } catch (const Error& e) {
        result.error = std::string("Words: ") + e.what();
        return result;
    }
    if (decoded.empty()) {
        result.error =
            std::string("Words: give one or more words in the listing's form, such as ") +
            firmware::kWordExample;
    }
    for (const auto& w : decoded) {
        result.rows.push_back({w.bytes, std::to_string(w.ftw), tableHz(w.hz), w.note});
    }
    return result;
}

}  // namespace meridel::model
