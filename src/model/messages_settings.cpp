#include "model/messages_settings.h"

#include <cstdint>
#include <fstream>
#include <system_error>

#include "listing/text_encoding.h"
#include "model/settings_file.h"

namespace meridel::model {
namespace {

// Well-formed UTF-8: no overlong forms, surrogates or code points above U+10FFFF.
bool wellFormedUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 ? 1 : -1;
        if (extra < 0 || c > 0xF4 || text.size() - i <= static_cast<std::size_t>(extra)) {
            return false;
        }
        std::uint32_t code = c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = code << 6 | (next & 0x3F);
        }
        constexpr std::uint32_t kLowest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kLowest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

}  // namespace

const std::array<MessageFieldInfo, kMessageFieldCount>& messageFields() {
    static const std::array<MessageFieldInfo, kMessageFieldCount> fields = {{
        {"jt", "JT message (in the main window's mode)", ""},
        {"wspr", "WSPR message", ""},
        {"fsk441", "FSK441 message", ""},
        {"pi4", "PI4 callsign", ""},
        {"pi4_audio_hz", "PI4 audio offset Hz", "800"},
        {"cw", "CW text", ""},
        {"cw_wpm", "CW speed WPM", "12"},
        {"rtty", "RTTY text", ""},
    }};
    return fields;
}

MessageTexts defaultMessageTexts() {
    MessageTexts texts;
    for (std::size_t i = 0; i < kMessageFieldCount; ++i) texts[i] = messageFields()[i].initial;
    return texts;
}

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool controlByte(char c) {
    return (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

int fieldOfKey(std::string_view key) {
    for (std::size_t i = 0; i < kMessageFieldCount; ++i) {
        if (messageFields()[i].key == key) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

MessageSettingsRead parseMessageSettings(std::string_view bytes) {
    MessageSettingsRead read;
    if (bytes.size() > kMaxMessageFileBytes) {
        // Only whole lines of the part that is read count.
        bytes = bytes.substr(0, kMaxMessageFileBytes);
        bytes =
            bytes.substr(0, bytes.rfind('\n') == std::string_view::npos ? 0 : bytes.rfind('\n'));
        read.lossless = false;
    }
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    std::array<bool, kMessageFieldCount> seen{};
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::string_view content = trimmed(line);
        if (content.empty()) continue;
        const std::size_t eq = content.find('=');
        const int found =
            eq == std::string_view::npos ? -1 : fieldOfKey(trimmed(content.substr(0, eq)));
        if (found < 0) {
            read.lossless = false;  // skipped
            continue;
        }
        const auto field = static_cast<std::size_t>(found);
        if (seen[field]) read.lossless = false;  // the earlier one is lost
        seen[field] = true;
        const std::string_view raw = trimmed(content.substr(eq + 1));
        std::string value =
            wellFormedUtf8(raw) ? std::string(raw) : listing::windows1252ToUtf8(raw);
        for (char& c : value) {
            if (controlByte(c)) c = ' ';
        }
        if (line != std::string(messageFields()[field].key) + "=" + value) {
            read.lossless = false;  // written back, the line would differ
        }
        read.texts[field] = std::move(value);
    }
    return read;
}

std::string messageSettingsText(const MessageTexts& texts) {
    // Besides the control characters, the Unicode line breaks (NEL, LINE and PARAGRAPH
    // SEPARATOR), which some editors split lines at.
    static constexpr std::string_view kUnicodeBreaks[] = {"\xC2\x85", "\xE2\x80\xA8",
                                                          "\xE2\x80\xA9"};
    std::string text;
    for (std::size_t i = 0; i < kMessageFieldCount; ++i) {
        std::string value;
        for (std::size_t k = 0; k < texts[i].size();) {
            std::size_t breakLength = 0;
            for (const std::string_view b : kUnicodeBreaks) {
                if (std::string_view(texts[i]).substr(k).starts_with(b)) breakLength = b.size();
            }
            if (breakLength > 0 || controlByte(texts[i][k])) {
                value += ' ';
                k += std::max<std::size_t>(breakLength, 1);
            } else {
                value += texts[i][k++];
            }
        }
        text += std::string(messageFields()[i].key) + "=" + value + "\n";
    }
    return text;
}

MessageSettingsRead readMessageSettings(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return {};
    std::ifstream in(file, std::ios::binary);
    if (!in) return {defaultMessageTexts(), false};
    std::string bytes;
    char chunk[4096];
    while (in && bytes.size() <= kMaxMessageFileBytes) {
        in.read(chunk, sizeof chunk);
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    MessageSettingsRead read = parseMessageSettings(bytes);
    if (!in.eof()) read.lossless = false;
    return read;
}

void writeMessageSettings(const std::filesystem::path& file, const MessageTexts& texts,
                          bool keepBackup) {
    std::error_code ec;
    // A read-only file is not written over, so it needs no copy.
    if (keepBackup && std::filesystem::exists(file, ec) && !settingsFileReadOnly(file)) {
        std::filesystem::path backup = file;
        backup += ".bak";
        std::filesystem::copy_file(file, backup, std::filesystem::copy_options::overwrite_existing,
                                   ec);
        if (ec) {
            throw SettingsError("The messages were not saved: \"" + file.string() +
                                "\" holds lines MERIDEL could not read, and keeping a copy of "
                                "it as \"" +
                                backup.string() + "\" failed (" + ec.message() +
                                "). Make the folder writable, or move the file away.");
        }
    }
    writeSettingsFile(file, messageSettingsText(texts));
}

}  // namespace meridel::model
