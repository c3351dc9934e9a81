// PI4 beacon mode: a callsign as 42 bits, the K=32 convolutional code, bit-reversal
// interleaving, and a sync bit under every data bit.
#include "modes/convolutional_code.h"
#include "modes/encoders.h"
#include "modes/interleaver.h"
#include "modes/message_text.h"

namespace meridel::modes {

namespace {

constexpr std::string_view kAlphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ /";
constexpr std::string_view kAllowed =
    "send one callsign of 1 to 8 letters, digits or '/', such as PA3ABC/B";
constexpr std::string_view kSync =
    "001001111010101001000100011001111001111100110111101011011010"
    "000011111010100000111110100100101000010011000001100001100111"
    "01110110101010000111000011";
static_assert(kSync.size() == 146);

}  // namespace

SymbolTable encodePi4(std::string_view callsign) {
    const std::string text = normaliseMessage(callsign);
    requireAlphabet("PI4", callsign, text, kAlphabet, kAllowed);
    if (text.find(' ') != std::string::npos)
        throw messageError("PI4", callsign, "it has more than one word", kAllowed);
    if (text.size() > 8)
        throw messageError("PI4", callsign,
                           cat({"it has ", std::to_string(text.size()), " characters"}), kAllowed);

    // Base 38 over 8 places, blank-padded on the right: below 38^8 < 2^42.
    std::uint64_t n = 0;
    for (std::size_t i = 0; i < 8; ++i)
        n = 38 * n + (i < text.size() ? kAlphabet.find(text[i]) : 36);
    std::vector<std::uint8_t> bits;
    bits.reserve(42);
    appendBits(bits, n, 42);
    return {"PI4", text, toneWithSync(interleaveBitReversal(convolveK32(bits)), kSync), 1.0 / 6.0};
}

}  // namespace meridel::modes
