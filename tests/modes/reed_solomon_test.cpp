// The portable Reed-Solomon (63,12) encoder against Phil Karn's libfec, the encoder the
// reference programs use: single symbols at every place and value, and random words.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

#include "modes/reed_solomon.h"

extern "C" {
#include <fec.h>
}

namespace meridel::modes {
namespace {

struct RsFree {
    void operator()(void* rs) const { free_rs_char(rs); }
};

// libfec keeps polynomials highest power first; the codeword here is lowest power first.
std::array<std::uint8_t, 63> libfecCodeword(void* rs, const std::array<std::uint8_t, 12>& data) {
    std::array<unsigned char, 12> high{};
    std::reverse_copy(data.begin(), data.end(), high.begin());
    std::array<unsigned char, 51> parity{};
    encode_rs_char(rs, high.data(), parity.data());
    std::array<std::uint8_t, 63> c{};
    std::reverse_copy(parity.begin(), parity.end(), c.begin());
    std::copy(data.begin(), data.end(), c.begin() + 51);
    return c;
}

TEST(ReedSolomon, EqualsLibfecOnEverySingleSymbolAndRandomWords) {
    const std::unique_ptr<void, RsFree> rs{init_rs_char(6, 0x43, 3, 1, 51, 0)};
    ASSERT_TRUE(rs);
    std::uint32_t state = 12345;
    for (int i = 0; i < 12 * 64 + 2000; ++i) {
        std::array<std::uint8_t, 12> w{};
        if (i < 12 * 64) {
            w[i / 64] = static_cast<std::uint8_t>(i % 64);  // one symbol, every place and value
        } else {
            for (auto& s : w)
                s = static_cast<std::uint8_t>((state = state * 1664525u + 1013904223u) >> 26);
        }
        ASSERT_EQ(reedSolomon63(w), libfecCodeword(rs.get(), w)) << i;
    }
}

}  // namespace
}  // namespace meridel::modes
