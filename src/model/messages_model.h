#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "firmware/message_table.h"
#include "model/main_window_model.h"
#include "model/messages_settings.h"

namespace meridel::model {

// A message's symbols as a picture: one level per equal step of time, from 0 to levels - 1.
// RTTY steps half bits, so that the start bit, the five code bits and the 1.5 stop bits show as
// space (0) and mark (1); every other mode steps its symbols.
struct ToneSteps {
    std::vector<std::uint8_t> steps;
    int levels = 2;
};
ToneSteps toneSteps(const firmware::MessageTable& table);

// One encoded message as the window shows it.
struct EncodedMessage {
    std::string title;    // mode, message, symbol count and period, the base word and its bytes
    std::string symbols;  // the numbers as the firmware steps them, 16 to a line
    ToneSteps picture;
};

// The Beacon messages window: its fields, and each message encoded against the words of the
// main window's plan.
class MessagesModel {
public:
    const MessageTexts& texts() const { return texts_; }
    const std::string& text(MessageField field) const {
        return texts_[static_cast<std::size_t>(field)];
    }
    void setText(MessageField field, std::string text) {
        texts_[static_cast<std::size_t>(field)] = std::move(text);
    }

    // The fields from the settings file (the defaults when it is missing or damaged), and back.
    void open(const std::filesystem::path& file) { texts_ = readMessageSettings(file); }
    std::optional<std::string> close(const std::filesystem::path& file) const {
        return writeMessageSettings(file, texts_);
    }

    // Encodes every message given: nullopt, or the error for the user, naming the message and
    // what it may hold (the messages shown are then none).
    std::optional<std::string> encode(const MainWindowModel& plan);
    const std::vector<EncodedMessage>& messages() const { return messages_; }
    // What the last encode gave: the tables, and the plan's words they count from.
    const std::vector<firmware::MessageTable>& tables() const { return tables_; }
    const run::RunWords& words() const { return words_; }
    // Encodes, then writes the symbol tables as an assembler include in the listing's style.
    std::optional<std::string> writeSymbolFile(const MainWindowModel& plan,
                                               const std::filesystem::path& file);

private:
    MessageTexts texts_ = defaultMessageTexts();
    std::vector<firmware::MessageTable> tables_;
    run::RunWords words_;  // the plan's words, with PI4's when it is sent
    std::vector<EncodedMessage> messages_;
};

}  // namespace meridel::model
