#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace meridel::model {

// The Beacon messages window keeps its fields in a file of its own beside "MERIDEL.INI", whose
// seven lines stay as they are.
inline constexpr const char* kMessagesFileName = "MESSAGES.INI";

enum class MessageField { Jt, Wspr, Fsk441, Pi4, Pi4AudioHz, Cw, CwWpm, Rtty };
inline constexpr std::size_t kMessageFieldCount = 8;
using MessageTexts = std::array<std::string, kMessageFieldCount>;

struct MessageFieldInfo {
    std::string_view key;  // in the settings file
    std::string_view label;
    std::string_view initial;
};
const std::array<MessageFieldInfo, kMessageFieldCount>& messageFields();
MessageTexts defaultMessageTexts();

// The file: "key=value" lines in UTF-8, LF or CR LF. Reading takes what it can: a byte-order
// mark, blank lines, comments ("#" or ";"), lines without "=" and unknown keys are skipped;
// blanks around keys and values are trimmed; the last of a key given twice wins; a value that
// is not UTF-8 is taken as Windows-1252; control characters become blanks; keys a file lacks
// keep their defaults. Beyond kMaxMessageFileBytes the rest is not read.
inline constexpr std::size_t kMaxMessageFileBytes = 64 * 1024;
struct MessageSettingsRead {
    MessageTexts texts = defaultMessageTexts();
    // Writing the texts back loses nothing of the file: no line was skipped or changed.
    bool lossless = true;
};
MessageSettingsRead parseMessageSettings(std::string_view bytes);
// One line per field whatever the texts hold: line breaks and other control characters are
// written as blanks.
std::string messageSettingsText(const MessageTexts& texts);

// A missing file gives the defaults; one that cannot be opened gives them too, not lossless.
MessageSettingsRead readMessageSettings(const std::filesystem::path& file);
// Writes the fields through the settings files' one writer. `keepBackup` first copies the file
// as it is to "<file>.bak" (a read that was not lossless must not destroy what it skipped); when
// that copy fails nothing is written. Throws SettingsError.
void writeMessageSettings(const std::filesystem::path& file, const MessageTexts& texts,
                          bool keepBackup);

}  // namespace meridel::model
