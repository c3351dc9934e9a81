// The WSPR encoder over arbitrary text: it refuses with a MessageError or gives 162 tones of
// 0..3 whose low bit is the sync vector every message shares, and the text it read back
// encodes to the same tones.
#include <cstdint>
#include <optional>
#include <string_view>

#include "fuzz_check.h"
#include "modes/encoders.h"

namespace {
using meridel::modes::SymbolTable;

std::optional<SymbolTable> tryEncode(std::string_view text) {
    try {
        return meridel::modes::encodeWspr(text);
    } catch (const meridel::modes::MessageError&) {
        return std::nullopt;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const SymbolTable reference = meridel::modes::encodeWspr("K1ABC FN42 37");
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto table = tryEncode(text);
    if (!table) return 0;

    FUZZ_CHECK(table->symbols.size() == 162 && !table->text.empty());
    for (std::size_t i = 0; i < 162; ++i) {
        FUZZ_CHECK(table->symbols[i] <= 3);
        FUZZ_CHECK((table->symbols[i] & 1) == (reference.symbols[i] & 1));
    }
    const auto again = tryEncode(table->text);
    FUZZ_CHECK(again && again->symbols == table->symbols && again->text == table->text);
    return 0;
}
