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

// The file: "key=value" lines in UTF-8, LF or CR LF. Keys it lacks keep their defaults; a line
// that is no "key=value" of a known key, a key given twice, text that is not UTF-8 or a file
// beyond kMaxBytes is damage, and gives nullopt.
inline constexpr std::size_t kMaxMessageFileBytes = 64 * 1024;
std::optional<MessageTexts> parseMessageSettings(std::string_view bytes);
std::string messageSettingsText(const MessageTexts& texts);

// A missing or damaged file gives the defaults, silently.
MessageTexts readMessageSettings(const std::filesystem::path& file);
// The error text for the user when the file could not be written.
std::optional<std::string> writeMessageSettings(const std::filesystem::path& file,
                                                const MessageTexts& texts);

}  // namespace meridel::model
