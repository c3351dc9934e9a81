#include "model/messages_model.h"

#include "beacon/message_plan.h"
#include "firmware/asm_symbols.h"
#include "model/plan_aside.h"
#include "modes/symbol_table.h"
#include "numbers/checked_math.h"
#include "numbers/decimal_text.h"
#include "numbers/field_number.h"
#include "numbers/tuning_word.h"

namespace meridel::model {
namespace {

constexpr std::size_t kSymbolsPerLine = 16;
constexpr int kRttyCodeBits = 5;
constexpr int kJt65Levels = 66;  // tone numbers 0 (sync) to 65 (data symbol 63 + 2)

// A field of blanks sends nothing, as an empty one.
std::string given(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos ? std::string() : text;
}

// A number field, read only when its message is given.
std::optional<std::string> readNumber(const MessageFieldInfo& field, const std::string& text,
                                      const char* allowed, double& value) {
    const auto number = numbers::parseWholeNumber(text);
    if (number) {
        value = *number;
        return std::nullopt;
    }
    return std::string(field.label) + ": \"" + text + "\" is not a number; use " + allowed;
}

std::string titleOf(const firmware::MessageTable& t, const run::RunWords& words) {
    std::string title = t.mode + " \"" + t.text + "\": " + std::to_string(t.symbols.size()) +
                        " symbols of " + numbers::plainDecimalText(t.symbol_seconds) +
                        " s, counted from " + t.base_word;
    for (const run::RunWord& w : words.tones) {
        if (w.name == t.base_word) title += " (" + numbers::wordBytesText(w.ftw, 6) + ")";
    }
    return title;
}

std::string symbolLines(const std::vector<std::uint8_t>& symbols) {
    std::string text;
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        if (i > 0) text += i % kSymbolsPerLine == 0 ? "\n" : " ";
        text += std::to_string(symbols[i]);
    }
    return text;
}

}  // namespace

ToneSteps toneSteps(const firmware::MessageTable& table) {
    ToneSteps picture;
    if (table.key == "rtty") {
        for (const std::uint8_t code : table.symbols) {
            picture.steps.insert(picture.steps.end(), 2, 0);  // start bit
            for (int bit = 0; bit < kRttyCodeBits; ++bit) {
                picture.steps.insert(picture.steps.end(), 2, (code >> bit) & 1);
            }
            picture.steps.insert(picture.steps.end(), 3, 1);  // 1.5 stop bits
        }
        return picture;
    }
    picture.steps = table.symbols;
    if (table.key != "cw") picture.levels = table.mode.starts_with("JT65") ? kJt65Levels : 4;
    return picture;
}

std::optional<std::string> MessagesModel::encode(const MainWindowModel& plan) {
    tables_.clear();
    messages_.clear();
    const auto& fields = messageFields();
    beacon::MessageInputs in;
    in.jt = given(text(MessageField::Jt));
    in.wspr = given(text(MessageField::Wspr));
    in.fsk441 = given(text(MessageField::Fsk441));
    in.pi4 = given(text(MessageField::Pi4));
    in.cw = given(text(MessageField::Cw));
    in.rtty = given(text(MessageField::Rtty));
    if (!in.pi4.empty()) {
        const auto error =
            readNumber(fields[static_cast<std::size_t>(MessageField::Pi4AudioHz)],
                       text(MessageField::Pi4AudioHz), "0 to 3000 Hz", in.pi4AudioHz);
        if (error) return error;
    }
    if (!in.cw.empty()) {
        const auto error = readNumber(fields[static_cast<std::size_t>(MessageField::CwWpm)],
                                      text(MessageField::CwWpm), "1 to 60 WPM", in.cwWpm);
        if (error) return error;
    }
    if (!in.any()) return std::nullopt;

    const AsideRun run = runPlanAside(plan);
    if (run.failure) {
        return "The messages count from the words of the main window's plan, which cannot be "
               "computed: " +
               run.failure->message;
    }
    beacon::BeaconMessages encoded;
    try {
        encoded = beacon::tieToWords(beacon::encodeMessages(in, plan.modeIndex(), plan.modeText()),
                                     in, run.words);
    } catch (const Error& e) {
        // A message the mode cannot carry, or PI4 words the plan cannot make.
        return e.what();
    }
    tables_ = std::move(encoded.tables);
    words_ = std::move(encoded.words);
    for (const firmware::MessageTable& t : tables_) {
        messages_.push_back({titleOf(t, words_), symbolLines(t.symbols), toneSteps(t)});
    }
    return std::nullopt;
}

std::optional<std::string> MessagesModel::writeSymbolFile(const MainWindowModel& plan,
                                                          const std::filesystem::path& file) {
    if (auto error = encode(plan)) return error;
    if (tables_.empty()) return "No message to write: fill in at least one message field";
    return writeWholeFile(file, listingBytes(firmware::asmSymbolLines(tables_, words_)));
}

}  // namespace meridel::model
