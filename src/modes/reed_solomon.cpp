#include "modes/reed_solomon.h"

#include <algorithm>
#include <cstddef>

namespace meridel::modes {

namespace {

// GF(64) built on the primitive polynomial x^6 + x + 1 (0x43), as JT65 defines it.
constexpr int kFieldSize = 63;
constexpr int kParity = 51;
constexpr int kFirstRoot = 3;  // the generator's roots are alpha^3 .. alpha^53

struct Field {
    std::array<std::uint8_t, 2 * kFieldSize> exp{};  // doubled so sums of logs need no modulo
    std::array<int, kFieldSize + 1> log{};

    constexpr Field() {
        int x = 1;
        for (int i = 0; i < kFieldSize; ++i) {
            exp[i] = exp[i + kFieldSize] = static_cast<std::uint8_t>(x);
            log[x] = i;
            x <<= 1;
            if (x & 0x40) x ^= 0x43;
        }
    }

    constexpr std::uint8_t times(std::uint8_t a, std::uint8_t b) const {
        return (a == 0 || b == 0) ? 0 : exp[log[a] + log[b]];
    }
};

constexpr Field kField{};

// g(x) = (x + alpha^3)(x + alpha^4)...(x + alpha^53), lowest power first; monic, degree 51.
constexpr std::array<std::uint8_t, kParity + 1> generator() {
    std::array<std::uint8_t, kParity + 1> g{};
    g[0] = 1;
    for (int i = 0; i < kParity; ++i) {
        const std::uint8_t root = kField.exp[(kFirstRoot + i) % kFieldSize];
        // Multiply by (x + root): shift up one power and add root times the old polynomial.
        for (int j = i + 1; j > 0; --j) {
            g[j] = static_cast<std::uint8_t>(g[j - 1] ^ kField.times(g[j], root));
        }
        g[0] = kField.times(g[0], root);
    }
    return g;
}

constexpr auto kGenerator = generator();

}  // namespace

std::array<std::uint8_t, 63> reedSolomon63(const std::array<std::uint8_t, 12>& data) {
    // Systematic code: the parity is the remainder of data(x) x^51 divided by g(x), worked out
    // by a shift register fed with the highest data coefficient first.
    std::array<std::uint8_t, kParity> remainder{};
    for (std::size_t k = data.size(); k-- > 0;) {
        const std::uint8_t feedback = (data[k] & 0x3F) ^ remainder[kParity - 1];
        for (int j = kParity - 1; j > 0; --j) {
            remainder[j] =
                static_cast<std::uint8_t>(remainder[j - 1] ^ kField.times(feedback, kGenerator[j]));
        }
        remainder[0] = kField.times(feedback, kGenerator[0]);
    }
    std::array<std::uint8_t, 63> c{};
    std::copy(remainder.begin(), remainder.end(), c.begin());
    std::copy(data.begin(), data.end(), c.begin() + kParity);
    return c;
}

}  // namespace meridel::modes
