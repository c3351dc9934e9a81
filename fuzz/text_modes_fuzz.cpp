// FSK441, PI4, CW and RTTY over arbitrary text (the first byte picks the mode, the second the
// CW speed): each refuses with a MessageError or gives symbols that read back as the text the
// encoder reports. The reading uses each mode's encodings of single characters, so a message
// must be exactly its characters in order, with the gaps and shifts its mode puts between them.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "modes/encoders.h"

namespace {
namespace modes = meridel::modes;
using Symbols = std::vector<std::uint8_t>;

// Symbols as a map key (GCC 12 at -O3 warns falsely on comparing byte vectors).
std::string key(const Symbols& symbols) {
    return {symbols.begin(), symbols.end()};
}

template <typename Encode>
std::optional<modes::SymbolTable> tryEncode(Encode encode) {
    try {
        return encode();
    } catch (const modes::MessageError&) {
        return std::nullopt;
    }
}

// What each single character encodes to, for every byte the encoder accepts alone.
template <typename Encode>
std::map<std::string, char> singleCharacters(Encode encode) {
    std::map<std::string, char> codes;
    for (int c = 1; c < 256; ++c) {
        const auto table = tryEncode([&] { return encode(std::string(1, char(c))); });
        if (table && table->text.size() == 1) codes[key(table->symbols)] = table->text[0];
    }
    return codes;
}

void checkFsk441(const modes::SymbolTable& table) {
    // Three tones a character; a lone character is followed by the blank between repeats.
    static const auto codes = singleCharacters([](const std::string& s) {
        Symbols first = modes::encodeFsk441(s).symbols;
        return modes::SymbolTable{"", modes::encodeFsk441(s).text,
                                  Symbols(first.begin(), first.begin() + 3), 0};
    });
    FUZZ_CHECK(table.symbols.size() % 3 == 0);
    for (std::uint8_t s : table.symbols) FUZZ_CHECK(s <= 3);
    const auto& t = table.text;
    if (t == "R26" || t == "R27" || t == "RRR" || t == "73") {
        FUZZ_CHECK(table.symbols.size() == 6);
        for (std::uint8_t s : table.symbols) FUZZ_CHECK(s == table.symbols[0]);
        return;
    }
    // The blank has no message of its own: it is what follows a lone character.
    static const Symbols lone = modes::encodeFsk441("A").symbols;
    static const Symbols blank(lone.begin() + 3, lone.end());
    std::string read;
    for (std::size_t i = 0; i < table.symbols.size(); i += 3) {
        const Symbols tones(table.symbols.begin() + i, table.symbols.begin() + i + 3);
        const auto code = codes.find(key(tones));
        FUZZ_CHECK(code != codes.end() || tones == blank);
        read += code == codes.end() ? ' ' : code->second;
    }
    FUZZ_CHECK(read == (t.size() < 28 ? t + " " : t));
}

void checkPi4(const modes::SymbolTable& table) {
    static const Symbols reference = modes::encodePi4("PA3ABC/B").symbols;
    FUZZ_CHECK(table.symbols.size() == 146 && table.text.size() <= 8);
    for (std::size_t i = 0; i < 146; ++i) {
        FUZZ_CHECK(table.symbols[i] <= 3);
        FUZZ_CHECK((table.symbols[i] & 1) == (reference[i] & 1));
    }
    FUZZ_CHECK(modes::encodePi4(table.text).symbols == table.symbols);
}

// Key-down runs of 1 and 3 units, key-up gaps of 1 (inside a character), 3 (between
// characters) and 7 (between words).
void checkCw(const modes::SymbolTable& table) {
    static const auto codes =
        singleCharacters([](const std::string& s) { return modes::encodeCw(s, 20); });
    const Symbols& keys = table.symbols;
    FUZZ_CHECK(!keys.empty() && keys.front() == 1 && keys.back() == 1);
    std::string read;
    Symbols character;
    std::size_t i = 0;
    while (i < keys.size()) {
        std::size_t run = 0;
        while (i + run < keys.size() && keys[i + run] == keys[i]) ++run;
        if (keys[i] == 1) {
            FUZZ_CHECK(run == 1 || run == 3);
        } else {
            FUZZ_CHECK(run == 1 || run == 3 || run == 7);
        }
        if (keys[i] == 0 && run > 1) {
            const auto code = codes.find(key(character));
            FUZZ_CHECK(code != codes.end());
            read += code->second;
            if (run == 7) read += ' ';
            character.clear();
        } else {
            character.insert(character.end(), run, keys[i]);
        }
        i += run;
    }
    const auto code = codes.find(key(character));
    FUZZ_CHECK(code != codes.end());
    read += code->second;
    FUZZ_CHECK(read == table.text);
}

// A teleprinter's reading: LTRS and FIGS switch the shift, the blank prints in both.
void checkRtty(const modes::SymbolTable& table) {
    static const auto codes =
        singleCharacters([](const std::string& s) { return modes::encodeRtty(s); });
    static const Symbols blank = modes::encodeRtty("A A").symbols;
    const std::uint8_t space = blank.at(2);
    std::optional<std::uint8_t> shift;
    std::string read;
    for (std::uint8_t s : table.symbols) {
        FUZZ_CHECK(s < 32);
        if (s == space) {
            read += ' ';
            continue;
        }
        bool isShift = false;
        for (const auto& [symbols, c] : codes)
            isShift = isShift || std::uint8_t(symbols.front()) == s;
        if (isShift) {
            shift = s;
            continue;
        }
        FUZZ_CHECK(shift.has_value());
        const auto code = codes.find(key({*shift, s}));
        FUZZ_CHECK(code != codes.end());
        read += code->second;
    }
    FUZZ_CHECK(read == table.text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const double wpm = data[1] / 4.0;  // 0 to 63.75, beyond the allowed speeds at both ends
    const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
    switch (data[0] % 4) {
        case 0:
            if (const auto t = tryEncode([&] { return modes::encodeFsk441(text); }))
                checkFsk441(*t);
            break;
        case 1:
            if (const auto t = tryEncode([&] { return modes::encodePi4(text); })) checkPi4(*t);
            break;
        case 2:
            if (const auto t = tryEncode([&] { return modes::encodeCw(text, wpm); })) {
                FUZZ_CHECK(wpm >= 1 && wpm <= 60);
                checkCw(*t);
            }
            break;
        default:
            if (const auto t = tryEncode([&] { return modes::encodeRtty(text); })) checkRtty(*t);
            break;
    }
    return 0;
}
