#include "cli/message_options.h"

#include <array>

#include "cli/firmware_options.h"
#include "firmware/asm_symbols.h"
#include "listing/output_targets.h"
#include "numbers/field_number.h"
#include "numbers/quoted_text.h"

namespace meridel::cli {
namespace {

constexpr std::array<std::string_view, 9> kOptions = {
    "--jt-message",   "--wspr-message", "--fsk441-message", "--pi4-message", "--cw-message",
    "--rtty-message", "--cw-wpm",       "--pi4-audio",      "--symbol-file"};

double numberValue(std::string_view option, const std::string& text) {
    const auto value = numbers::parsePlainNumber(text);
    if (!value) {
        throw UsageError{std::string(option) + " " + numbers::quotedText(text) +
                         " is not a number: give digits with . as the decimal point, such as 20"};
    }
    return *value;
}

}  // namespace

bool isMessageOption(std::string_view option) {
    for (std::string_view known : kOptions) {
        if (option == known) return true;
    }
    return false;
}

void takeMessageOption(beacon::MessageInputs& m, std::optional<std::string>& symbolFile,
                       std::string_view option, const std::string& value) {
    if (option == "--jt-message") m.jt = value;
    if (option == "--wspr-message") m.wspr = value;
    if (option == "--fsk441-message") m.fsk441 = value;
    if (option == "--pi4-message") m.pi4 = value;
    if (option == "--cw-message") m.cw = value;
    if (option == "--rtty-message") m.rtty = value;
    if (option == "--cw-wpm") m.cwWpm = numberValue(option, value);
    if (option == "--pi4-audio") m.pi4AudioHz = numberValue(option, value);
    if (option == "--symbol-file") symbolFile = value;
}

nlohmann::json messagesJson(const beacon::BeaconMessages& messages) {
    using nlohmann::json;
    json object = json::object();
    for (const firmware::MessageTable& m : messages.tables) {
        std::string intervalName;
        for (const run::RunWord& w : messages.words.intervals) {
            if (w.id == firmware::intervalIdOf(m)) intervalName = w.name;
        }
        object[m.key] = {
            {"mode", m.mode},           {"text", m.text},
            {"symbols", m.symbols},     {"symbol_seconds", m.symbol_seconds},
            {"base_word", m.base_word}, {"meaning", firmware::symbolMeaning(m, intervalName)}};
        if (m.character_seconds > 0) {
            // A symbol is a character code: its bit and its whole character on air.
            object[m.key]["bit_seconds"] = m.symbol_seconds;
            object[m.key]["character_seconds"] = m.character_seconds;
        }
    }
    if (object.contains("pi4")) {
        json words = json::array();
        for (const auto* list : {&messages.words.tones, &messages.words.intervals}) {
            for (const run::RunWord& w : *list) {
                if (w.id.rfind("PI4_", 0) != 0) continue;
                words.push_back(
                    {{"name", w.name}, {"requested_hz", w.requestedHz}, {"ftw", w.ftw}});
            }
        }
        object["pi4"]["words"] = words;
    }
    return object;
}

std::string symbolFileBytes(const beacon::BeaconMessages& messages) {
    std::string bytes;
    listing::RecordingChannel channel(bytes);
    for (const std::string& line : firmware::asmSymbolLines(messages.tables, messages.words)) {
        channel.writeLine(line);
    }
    return bytes;
}

void printSymbols(const beacon::BeaconMessages& messages, std::FILE* out) {
    listing::StreamChannel channel(out, "standard output", false);
    for (const std::string& line : firmware::asmSymbolLines(messages.tables, messages.words)) {
        channel.writeLine(line);
    }
    channel.close();
}

}  // namespace meridel::cli
