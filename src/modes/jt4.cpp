// JT4: the 72 JT65 source bits, the K=32 convolutional code, bit-reversal interleaving, and a
// sync bit under every data bit.
#include "modes/convolutional_code.h"
#include "modes/encoders.h"
#include "modes/interleaver.h"
#include "modes/jt_message.h"
#include "modes/jt_submode.h"

namespace meridel::modes {

namespace {

// Entries 2..207 of WSJT-X's 207-entry table: the transmitter skips the first.
constexpr std::string_view kSync =
    "000110001101100101000000011000000000000101101101011111010001"
    "001001111100010100011110110010001101010101011111010101101010"
    "111001011011110000110110001110111011100100011011001000111111"
    "00110000110001011011110101";
static_assert(kSync.size() == 206);

constexpr double kSymbolSeconds = 2520.0 / 11025.0;

// WSJT-X inverts the sync of a message with a report in it: its first '-' at column 9 or
// later, followed by 0..3.
bool invertedSync(std::string_view text) {
    const std::size_t dash = text.find('-');
    return dash != std::string_view::npos && dash >= 8 && dash + 1 < text.size() &&
           text[dash + 1] >= '0' && text[dash + 1] <= '3';
}

}  // namespace

SymbolTable encodeJt4(std::string_view message, JtSubmode submode) {
    SymbolTable table;
    table.mode = jtModeName(submode);
    table.symbol_seconds = kSymbolSeconds;
    const JtSource source = packJtMessage(message, table.mode, false);
    table.text = source.text;

    std::vector<std::uint8_t> bits;
    bits.reserve(72);
    for (std::uint8_t s : source.packed) appendBits(bits, s, 6);
    auto coded = convolveK32(bits);  // 2 * (72 + 31) = 206 bits
    table.symbols = toneWithSync(interleaveBitReversal(coded), kSync, invertedSync(table.text));
    return table;
}

}  // namespace meridel::modes
