// The Beacon messages settings file over arbitrary bytes: reading never throws, whatever it
// reads is written back as one line per field, and that text reads back as the same fields.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "model/messages_settings.h"

namespace {
namespace model = meridel::model;

// The fields a reading gave, or none for a file it refused: the reading gives either an
// optional set of fields or the fields with a note of what it skipped.
template <typename Read>
const model::MessageTexts* fieldsOf(const Read& read) {
    if constexpr (requires { read.texts; }) {
        return &read.texts;
    } else {
        return read ? &*read : nullptr;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto read = model::parseMessageSettings(bytes);
    const model::MessageTexts* texts = fieldsOf(read);
    if (texts) {
        const std::string written = model::messageSettingsText(*texts);
        FUZZ_CHECK(std::count(written.begin(), written.end(), '\n') ==
                   std::ptrdiff_t(model::kMessageFieldCount));
        const auto again = model::parseMessageSettings(written);
        FUZZ_CHECK(fieldsOf(again) && *fieldsOf(again) == *texts);
    }

    // Any field, line breaks and all, stays on its own line.
    model::MessageTexts fields;
    for (std::size_t i = 0; i < size; ++i) fields[i % fields.size()] += bytes[i];
    const std::string lines = model::messageSettingsText(fields);
    FUZZ_CHECK(std::count(lines.begin(), lines.end(), '\n') ==
               std::ptrdiff_t(model::kMessageFieldCount));
    return 0;
}
