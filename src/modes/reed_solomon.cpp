#include "modes/reed_solomon.h"

#include <algorithm>
#include <stdexcept>

extern "C" {
#include <fec.h>
}

namespace meridel::modes {

namespace {

constexpr int kParity = 51;

// JT65's code in libfec's terms: 6-bit symbols over GF(64) with x^6 + x + 1 (0x43), generator
// roots alpha^3 .. alpha^53, 51 parity symbols, no padding. Built once; encoding only reads it.
void* codec() {
    static void* const rs = init_rs_int(6, 0x43, 3, 1, kParity, 0);
    if (!rs) throw std::runtime_error("JT65 Reed-Solomon: libfec could not set up RS(63,12)");
    return rs;
}

}  // namespace

std::array<std::uint8_t, 63> reedSolomon63(const std::array<std::uint8_t, 12>& data) {
    // libfec keeps polynomials highest power first; the codeword here is lowest power first.
    std::array<unsigned int, 12> high{};
    std::transform(data.rbegin(), data.rend(), high.begin(),
                   [](std::uint8_t s) { return s & 0x3Fu; });
    std::array<unsigned int, kParity> parity{};
    encode_rs_int(codec(), high.data(), parity.data());
    std::array<std::uint8_t, 63> c{};
    std::transform(parity.rbegin(), parity.rend(), c.begin(),
                   [](unsigned int s) { return static_cast<std::uint8_t>(s); });
    std::copy(data.begin(), data.end(), c.begin() + kParity);
    return c;
}

}  // namespace meridel::modes
