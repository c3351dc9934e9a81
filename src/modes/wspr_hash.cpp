#include "modes/wspr_hash.h"

#include <bit>

namespace meridel::modes {

namespace {

void mix(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
    a -= c, a ^= std::rotl(c, 4), c += b;
    b -= a, b ^= std::rotl(a, 6), a += c;
    c -= b, c ^= std::rotl(b, 8), b += a;
    a -= c, a ^= std::rotl(c, 16), c += b;
    b -= a, b ^= std::rotl(a, 19), a += c;
    c -= b, c ^= std::rotl(b, 4), b += a;
}

void finalMix(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
    c ^= b, c -= std::rotl(b, 14);
    a ^= c, a -= std::rotl(c, 11);
    b ^= a, b -= std::rotl(a, 25);
    c ^= b, c -= std::rotl(b, 16);
    a ^= c, a -= std::rotl(c, 4);
    b ^= a, b -= std::rotl(a, 14);
    c ^= b, c -= std::rotl(b, 24);
}

}  // namespace

std::uint32_t hashLittle(std::string_view key, std::uint32_t initval) {
    std::uint32_t abc[3];
    abc[0] = abc[1] = abc[2] = 0xdeadbeef + std::uint32_t(key.size()) + initval;
    // Bytes are added little-endian into a, b and c, 12 at a time.
    std::size_t length = key.size(), pos = 0;
    while (length > 12) {
        for (int i = 0; i < 12; ++i)
            abc[i / 4] += std::uint32_t(static_cast<unsigned char>(key[pos + i])) << (8 * (i % 4));
        mix(abc[0], abc[1], abc[2]);
        length -= 12;
        pos += 12;
    }
    if (length == 0) return abc[2];
    for (std::size_t i = 0; i < length; ++i)
        abc[i / 4] += std::uint32_t(static_cast<unsigned char>(key[pos + i])) << (8 * (i % 4));
    finalMix(abc[0], abc[1], abc[2]);
    return abc[2];
}

}  // namespace meridel::modes
