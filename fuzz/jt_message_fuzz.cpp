// The JT65 and JT4 encoder over arbitrary text: it either refuses with a MessageError or gives
// a frame of the right length and alphabet whose sync sits where every other message has it,
// the same symbols for every submode of a family, and the same table again when the text it
// read back is encoded once more.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "fuzz_check.h"
#include "modes/encoders.h"

namespace {
using meridel::modes::JtSubmode;
using meridel::modes::SymbolTable;

std::optional<SymbolTable> tryEncode(std::string_view text, JtSubmode submode) {
    try {
        return meridel::modes::encodeJt(text, submode);
    } catch (const meridel::modes::MessageError&) {
        return std::nullopt;
    }
}

// A JT65 frame's sync intervals are the zeros of a plain message; an EME message (" OOO" at
// its end) has them in the data intervals instead, and the shorthands have none.
void checkJt65(const SymbolTable& table) {
    static const SymbolTable reference =
        meridel::modes::encodeJt("CQ K1ABC FN42", JtSubmode::JT65A);
    FUZZ_CHECK(table.symbols.size() == 126);
    FUZZ_CHECK(std::all_of(table.symbols.begin(), table.symbols.end(),
                           [](std::uint8_t s) { return s <= 65 && s != 1; }));
    if (table.text == "RO" || table.text == "RRR" || table.text == "73") return;
    bool same = true, swapped = true;
    for (std::size_t i = 0; i < 126; ++i) {
        const bool sync = table.symbols[i] == 0, referenceSync = reference.symbols[i] == 0;
        same = same && sync == referenceSync;
        swapped = swapped && sync != referenceSync;
    }
    FUZZ_CHECK(same || (swapped && table.text.ends_with(" OOO")));
}

// JT4's sync bit is the low bit of every tone; a report inverts it.
void checkJt4(const SymbolTable& table) {
    static const SymbolTable reference = meridel::modes::encodeJt("CQ K1ABC FN42", JtSubmode::JT4A);
    FUZZ_CHECK(table.symbols.size() == 206);
    bool same = true, inverted = true;
    for (std::size_t i = 0; i < 206; ++i) {
        FUZZ_CHECK(table.symbols[i] <= 3);
        const bool bit = table.symbols[i] & 1, referenceBit = reference.symbols[i] & 1;
        same = same && bit == referenceBit;
        inverted = inverted && bit != referenceBit;
    }
    FUZZ_CHECK(same || inverted);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto submode = static_cast<JtSubmode>(data[0] % 10);
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto table = tryEncode(text, submode);
    if (!table) return 0;

    const bool jt65 = submode <= JtSubmode::JT65C;
    FUZZ_CHECK(!table->text.empty() && table->text.size() <= text.size());
    if (jt65) {
        checkJt65(*table);
    } else {
        checkJt4(*table);
    }
    // The family's first and last submodes differ only in their tone spacing.
    const auto other = tryEncode(text, jt65 ? JtSubmode::JT65C : JtSubmode::JT4G);
    FUZZ_CHECK(other && other->symbols == table->symbols && other->text == table->text);
    // What the encoder read is a message it sends unchanged.
    const auto again = tryEncode(table->text, submode);
    FUZZ_CHECK(again && again->symbols == table->symbols && again->text == table->text);
    return 0;
}
