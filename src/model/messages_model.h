#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "firmware/message_table.h"
#include "model/main_window_model.h"
#include "model/messages_settings.h"
#include "model/settings_file.h"

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

    // The fields from the settings file (the defaults when it is missing), and back. A file
    // that was not read whole is kept as "<file>.bak" before it is first written over; a
    // read-only one is left as it is, and the user told once.
    void open(const std::filesystem::path& file);
    std::optional<std::string> close(const std::filesystem::path& file);

    // Encodes every message given against the words of the main window's plan as it is now. A
    // message that cannot be encoded gets its error (naming the message and what it may hold) on
    // its own field and leaves the others encoded; a plan without words gets the plan's error.
    // Returns every error, one a line, or nullopt.
    std::optional<std::string> encode(const MainWindowModel& plan);
    const std::vector<EncodedMessage>& messages() const { return messages_; }
    // What the last encode gave: the tables, and the plan's words they count from.
    const std::vector<firmware::MessageTable>& tables() const { return tables_; }
    const run::RunWords& words() const { return words_; }
    // The error on a field after the last encode, or empty.
    const std::string& fieldError(MessageField field) const {
        return fieldErrors_[static_cast<std::size_t>(field)];
    }
    const std::string& planError() const { return planError_; }
    // What the last encode wants the user to know without refusing anything, or empty.
    const std::string& warning() const { return warning_; }
    // Encodes, and says why no symbol file can be written now (an error, or no message), before
    // the user is asked for a file name.
    std::optional<std::string> symbolFileProblem(const MainWindowModel& plan);
    // Writes the symbol tables as an assembler include in the listing's style: only when every
    // message given is encoded.
    std::optional<std::string> writeSymbolFile(const MainWindowModel& plan,
                                               const std::filesystem::path& file);

private:
    MessageTexts texts_ = defaultMessageTexts();
    std::vector<firmware::MessageTable> tables_;
    run::RunWords words_;  // the plan's words, with PI4's when it is sent
    std::vector<EncodedMessage> messages_;
    std::array<std::string, kMessageFieldCount> fieldErrors_;
    std::string planError_;
    std::string warning_;
    bool backupPending_ = false;
    SettingsNotices notices_;
};

}  // namespace meridel::model
