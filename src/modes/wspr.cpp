// WSPR: 50 source bits, the K=32 convolutional code, bit-reversal interleaving, and a sync bit
// under every data bit.
#include "modes/convolutional_code.h"
#include "modes/encoders.h"
#include "modes/interleaver.h"
#include "modes/wspr_message.h"

namespace meridel::modes {

namespace {

constexpr std::string_view kSync =
    "110000001000111000100101111000000010010100000010110011010001"
    "101000011010101010010010110001101010001000001001001110110011"
    "010001110000010100110000000110101100011000";
static_assert(kSync.size() == 162);

}  // namespace

SymbolTable encodeWspr(std::string_view message) {
    const WsprSource source = packWsprMessage(message);
    std::vector<std::uint8_t> bits;
    bits.reserve(50);
    appendBits(bits, source.n1, 28);
    appendBits(bits, source.n2, 22);
    return {"WSPR", source.text, toneWithSync(interleaveBitReversal(convolveK32(bits)), kSync),
            8192.0 / 12000.0};
}

}  // namespace meridel::modes
