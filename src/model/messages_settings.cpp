#include "model/messages_settings.h"

#include <cstdint>
#include <fstream>

#include "model/plan_aside.h"

namespace meridel::model {
namespace {

// Well-formed UTF-8 (no overlong forms, surrogates or code points above U+10FFFF), without
// control characters other than tab.
bool plainUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if ((c < 0x20 && c != '\t') || c == 0x7F) return false;
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

std::optional<MessageTexts> parseMessageSettings(std::string_view bytes) {
    if (bytes.size() > kMaxMessageFileBytes) return std::nullopt;
    MessageTexts texts = defaultMessageTexts();
    std::array<bool, kMessageFieldCount> seen{};
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || !plainUtf8(line)) return std::nullopt;
        std::size_t field = 0;
        while (field < kMessageFieldCount && messageFields()[field].key != line.substr(0, eq)) {
            ++field;
        }
        if (field == kMessageFieldCount || seen[field]) return std::nullopt;
        seen[field] = true;
        texts[field] = line.substr(eq + 1);
    }
    return texts;
}

std::string messageSettingsText(const MessageTexts& texts) {
    std::string text;
    for (std::size_t i = 0; i < kMessageFieldCount; ++i) {
        std::string value = texts[i];
        for (char& c : value) {
            if (c == '\r' || c == '\n') c = ' ';  // one line per field
        }
        text += std::string(messageFields()[i].key) + "=" + value + "\n";
    }
    return text;
}

MessageTexts readMessageSettings(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes;
    char chunk[4096];
    while (in && bytes.size() <= kMaxMessageFileBytes) {
        in.read(chunk, sizeof chunk);
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    const bool whole = in.eof();
    const auto texts = whole ? parseMessageSettings(bytes) : std::nullopt;
    return texts ? *texts : defaultMessageTexts();
}

std::optional<std::string> writeMessageSettings(const std::filesystem::path& file,
                                                const MessageTexts& texts) {
    return writeWholeFile(file, messageSettingsText(texts));
}

}  // namespace meridel::model
