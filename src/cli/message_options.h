#pragma once

#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "beacon/message_plan.h"

namespace meridel::cli {

// The beacon message options: --jt-message, --wspr-message, --fsk441-message, --pi4-message,
// --cw-message, --rtty-message, --cw-wpm, --pi4-audio and --symbol-file.
bool isMessageOption(std::string_view option);

// Stores a message option's value; throws UsageError for a speed or offset that is no number.
void takeMessageOption(beacon::MessageInputs& messages, std::optional<std::string>& symbolFile,
                       std::string_view option, const std::string& value);

// The "messages" member of the JSON object: one member per message, and PI4's words.
nlohmann::json messagesJson(const beacon::BeaconMessages& messages);

// The symbol tables as an assembler include: the bytes of the symbol file (Windows-1252, CR LF),
// or printed after the listing on standard output. printSymbols throws listing::OutputError.
std::string symbolFileBytes(const beacon::BeaconMessages& messages);
void printSymbols(const beacon::BeaconMessages& messages, std::FILE* out);

}  // namespace meridel::cli
