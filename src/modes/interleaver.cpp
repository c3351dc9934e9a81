#include "modes/interleaver.h"

namespace meridel::modes {

namespace {
unsigned reverse8(unsigned i) {
    unsigned r = 0;
    for (int b = 0; b < 8; ++b) r |= ((i >> b) & 1u) << (7 - b);
    return r;
}
}  // namespace

std::vector<std::uint8_t> interleaveBitReversal(const std::vector<std::uint8_t>& coded) {
    std::vector<std::uint8_t> out(coded.size());
    std::size_t p = 0;
    for (unsigned i = 0; i < 256 && p < coded.size(); ++i) {
        const unsigned j = reverse8(i);
        if (j < coded.size()) out[j] = coded[p++];
    }
    return out;
}

std::vector<std::uint8_t> toneWithSync(const std::vector<std::uint8_t>& data, std::string_view sync,
                                       bool invert) {
    std::vector<std::uint8_t> tones(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        const bool s = (sync[i] == '1') != invert;
        tones[i] = std::uint8_t(2 * data[i] + (s ? 1 : 0));
    }
    return tones;
}

}  // namespace meridel::modes
