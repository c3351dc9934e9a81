// The Beacon messages settings file over arbitrary bytes: reading never throws, whatever it
// reads is written back as one line per field, and that text reads back as the same fields.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "model/messages_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace model = meridel::model;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto texts = model::parseMessageSettings(bytes);
    if (!texts) return 0;
    const std::string written = model::messageSettingsText(*texts);
    FUZZ_CHECK(std::count(written.begin(), written.end(), '\n') ==
               std::ptrdiff_t(model::kMessageFieldCount));
    const auto again = model::parseMessageSettings(written);
    FUZZ_CHECK(again && *again == *texts);

    // Any field, line breaks and all, stays on its own line.
    model::MessageTexts fields;
    for (std::size_t i = 0; i < size; ++i) fields[i % fields.size()] += bytes[i];
    const std::string lines = model::messageSettingsText(fields);
    FUZZ_CHECK(std::count(lines.begin(), lines.end(), '\n') ==
               std::ptrdiff_t(model::kMessageFieldCount));
    return 0;
}
