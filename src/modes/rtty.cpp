// RTTY: text as ITA2 codes with the LTRS/FIGS shifts a teleprinter needs.
#include <array>

#include "modes/encoders.h"
#include "modes/message_text.h"

namespace meridel::modes {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kAllowed = "send A-Z 0-9 blank and - ' ? : ( ) . , / + =";
// About 35 seconds at 45.45 baud: an identification, not a bulletin.
constexpr std::size_t kMaxCharacters = 200;
constexpr std::uint8_t kFigs = 0x1B, kLtrs = 0x1F, kSpace = 0x04;

// Code n (first bit on air = least significant) of each shift; '\0' where unused or national.
constexpr std::string_view kLetters = "\0E\nA SIU\rDRJNFCKTZLWHYPQOBG\0MXV\0"sv;
constexpr std::string_view kFigures = "\0003\n- '87\r\0004\0,\0:(5+)2\0006019?\0\0./=\0"sv;
static_assert(kLetters.size() == 32 && kFigures.size() == 32);

}  // namespace

SymbolTable encodeRtty(std::string_view text) {
    SymbolTable table{"RTTY", normaliseMessage(text), {}, 1.0 / 45.45};
    const std::string& t = table.text;
    if (t.empty()) throw messageError("RTTY", text, "it is empty", kAllowed);
    requireLength("RTTY", text, t, kMaxCharacters,
                  "an RTTY text has at most 200 characters (about 35 seconds at 45.45 baud)");

    enum class Shift { None, Letters, Figures } shift = Shift::None;
    bool afterSpace = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (c == ' ') {
            table.symbols.push_back(kSpace);
            afterSpace = true;
            continue;
        }
        const std::size_t letter = kLetters.find(c), figure = kFigures.find(c);
        if (c < ' ' || (letter == std::string_view::npos && figure == std::string_view::npos))
            throw messageError("RTTY", text, cat({describeCharacter(t, i), " has no ITA2 code"}),
                               kAllowed);
        if (letter != std::string_view::npos) {
            if (shift != Shift::Letters) table.symbols.push_back(kLtrs);
            shift = Shift::Letters;
            table.symbols.push_back(std::uint8_t(letter));
        } else {
            // Many receivers fall back to letters after a blank: shift again to be sure.
            if (shift != Shift::Figures || afterSpace) table.symbols.push_back(kFigs);
            shift = Shift::Figures;
            table.symbols.push_back(std::uint8_t(figure));
        }
        afterSpace = false;
    }
    return table;
}

}  // namespace meridel::modes
