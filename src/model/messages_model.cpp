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

void MessagesModel::open(const std::filesystem::path& file) {
    MessageSettingsRead read = readMessageSettings(file);
    texts_ = std::move(read.texts);
    backupPending_ = !read.lossless;
}

std::optional<std::string> MessagesModel::close(const std::filesystem::path& file) {
    try {
        writeMessageSettings(file, texts_, backupPending_);
        backupPending_ = false;
    } catch (const SettingsError& error) {
        return notices_.tell(error);
    }
    return std::nullopt;
}

std::optional<std::string> MessagesModel::encode(const MainWindowModel& plan) {
    tables_.clear();
    messages_.clear();
    for (std::string& error : fieldErrors_) error.clear();
    planError_.clear();
    warning_.clear();
    const auto& fields = messageFields();
    const auto slot = [](MessageField f) { return static_cast<std::size_t>(f); };

    // Each message on its own, so that one that cannot be encoded keeps the others.
    beacon::MessageInputs sent;
    std::vector<beacon::EncodedMessage> encoded;
    const auto tryMessage = [&](MessageField field, std::string beacon::MessageInputs::*member) {
        beacon::MessageInputs one;
        one.*member = given(text(field));
        if ((one.*member).empty()) return;
        if (field == MessageField::Pi4) {
            if (auto error =
                    readNumber(fields[slot(MessageField::Pi4AudioHz)],
                               text(MessageField::Pi4AudioHz), "0 to 3000 Hz", one.pi4AudioHz)) {
                fieldErrors_[slot(MessageField::Pi4AudioHz)] = std::move(*error);
                return;
            }
        }
        if (field == MessageField::Cw) {
            if (auto error = readNumber(fields[slot(MessageField::CwWpm)],
                                        text(MessageField::CwWpm), "1 to 60 WPM", one.cwWpm)) {
                fieldErrors_[slot(MessageField::CwWpm)] = std::move(*error);
                return;
            }
        }
        try {
            for (auto& m : beacon::encodeMessages(one, plan.modeIndex(), plan.modeText())) {
                encoded.push_back(std::move(m));
            }
        } catch (const modes::MessageError& e) {
            fieldErrors_[slot(field)] = e.what();
            return;
        } catch (const numbers::ArithmeticError& e) {
            fieldErrors_[slot(field)] = std::string(fields[slot(field)].label) + ": " +
                                        numbers::describe(e.kind) + "; check its numbers";
            return;
        } catch (const Error& e) {
            fieldErrors_[slot(field)] = e.what();
            return;
        }
        sent.*member = one.*member;
        if (field == MessageField::Pi4) sent.pi4AudioHz = one.pi4AudioHz;
        if (field == MessageField::Cw) sent.cwWpm = one.cwWpm;
    };
    // In the order the symbol file lists them.
    tryMessage(MessageField::Jt, &beacon::MessageInputs::jt);
    tryMessage(MessageField::Wspr, &beacon::MessageInputs::wspr);
    tryMessage(MessageField::Fsk441, &beacon::MessageInputs::fsk441);
    tryMessage(MessageField::Pi4, &beacon::MessageInputs::pi4);
    tryMessage(MessageField::Cw, &beacon::MessageInputs::cw);
    tryMessage(MessageField::Rtty, &beacon::MessageInputs::rtty);

    if (!encoded.empty()) {
        const AsideRun run = runPlanAside(plan);
        if (run.failure) {
            planError_ =
                "The messages count from the words of the main window's plan, which cannot be "
                "computed: " +
                run.failure->message;
        } else {
            beacon::BeaconMessages tied;
            try {
                tied = beacon::tieToWords(encoded, sent, run.words);
            } catch (const numbers::ArithmeticError& e) {
                // Without the PI4 words the other messages still count from the listing's.
                fieldErrors_[slot(MessageField::Pi4)] =
                    std::string("PI4 words: ") + numbers::describe(e.kind) +
                    "; check the PI4 audio offset and the main window's plan";
                sent.pi4.clear();
                std::erase_if(encoded,
                              [](const beacon::EncodedMessage& m) { return m.table.key == "pi4"; });
                tied = beacon::tieToWords(std::move(encoded), sent, run.words);
            }
            tables_ = std::move(tied.tables);
            words_ = std::move(tied.words);
            for (const firmware::MessageTable& t : tables_) {
                messages_.push_back({titleOf(t, words_), symbolLines(t.symbols), toneSteps(t)});
            }
        }
    }
    // CW is keyed on the single-tone word, the carrier plus Tone Freq.
    if (!sent.cw.empty() && numbers::parseFieldNumber(plan.fieldText(run::Field::ToneFreq)) == 0) {
        warning_ =
            "CW: Tone Freq in the main window is empty or 0, so the CW is keyed on the carrier "
            "itself; type the tone to key it on, such as 800, or leave it so for a keyed carrier";
    }
    std::string all = planError_;
    for (const std::string& error : fieldErrors_) {
        if (!error.empty()) all += (all.empty() ? "" : "\n") + error;
    }
    return all.empty() ? std::nullopt : std::optional<std::string>(all);
}

std::optional<std::string> MessagesModel::symbolFileProblem(const MainWindowModel& plan) {
    if (auto error = encode(plan)) return error;
    if (tables_.empty()) return "No message to write: fill in at least one message field";
    return std::nullopt;
}

std::optional<std::string> MessagesModel::writeSymbolFile(const MainWindowModel& plan,
                                                          const std::filesystem::path& file) {
    if (auto problem = symbolFileProblem(plan)) return problem;
    return writeWholeFile(file, listingBytes(firmware::asmSymbolLines(tables_, words_)));
}

}  // namespace meridel::model
