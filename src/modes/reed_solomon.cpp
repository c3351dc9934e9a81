#include "modes/reed_solomon.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

extern "C" {
#include <fec.h>
}

namespace meridel::modes {

namespace {

struct RsFree {
    void operator()(void* rs) const { free_rs_char(rs); }
};

// One codec for the process: encode_rs_char only reads it, so threads can share it.
void* codec() {
    static const std::unique_ptr<void, RsFree> rs{init_rs_char(6, 0x43, 3, 1, 51, 0)};
    if (!rs) throw std::runtime_error("the Reed-Solomon (63,12) codec could not be set up");
    return rs.get();
}

}  // namespace

std::array<std::uint8_t, 63> reedSolomon63(const std::array<std::uint8_t, 12>& data) {
    // libfec stores polynomials highest power first; the codeword here is lowest power first.
    std::array<unsigned char, 12> high{};
    std::reverse_copy(data.begin(), data.end(), high.begin());
    std::array<unsigned char, 51> parity{};
    encode_rs_char(codec(), high.data(), parity.data());
    std::array<std::uint8_t, 63> c{};
    std::reverse_copy(parity.begin(), parity.end(), c.begin());
    std::copy(data.begin(), data.end(), c.begin() + 51);
    return c;
}

}  // namespace meridel::modes
