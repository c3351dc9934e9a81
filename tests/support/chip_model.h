#pragma once

// Each DDS chip's register interface as its data sheet describes it, written apart from the
// writers under test: it takes the bytes of a write as the chip would and tells what the output
// does. The AD9850/51 take the serial form (40 bits, each byte LSB first).
#include <cstdint>
#include <string>
#include <vector>

namespace meridel::testing {

struct ChipModel {
    std::string chip;
    std::uint64_t ftw = 0;
    bool silent = false;  // power-down, reset, amplitude 0, or a word of 0 on the AD9912
    std::uint32_t ad9910Cfr3 = 0x1F3F4000;                // the data sheet's power-up value
    unsigned ad9912NDivider = 0, ad9912PllConfig = 0xFF;  // power-up unknown: assume the worst
    bool b28 = false, lowPending = false;                 // the AD9833's FREQ0 halves
    std::uint32_t low = 0;
    unsigned ad985xW4 = 0;  // the AD9850/51's control bits (1..0), power-down and phase (7..3)

    void write(const std::vector<std::uint8_t>& b) {
        const auto bigEndian = [&](std::size_t from, std::size_t count) {
            std::uint64_t v = 0;
            for (std::size_t i = from; i < from + count; ++i) v = (v << 8) | b.at(i);
            return v;
        };
        if (chip == "AD9852" || chip == "AD9854") {
            if (b.at(0) == 0x02) ftw = bigEndian(1, 6);
            if (b.at(0) == 0x08) silent = (bigEndian(1, 2) & 0xFFF) == 0;
        } else if (chip == "AD9850" || chip == "AD9851") {
            ftw = b.at(0) | (b.at(1) << 8) | (b.at(2) << 16) | (std::uint64_t{b.at(3)} << 24);
            ad985xW4 = b.at(4);
            silent = (b.at(4) & 0x04) != 0;
        } else if (chip == "AD9833") {
            const auto w = static_cast<unsigned>(bigEndian(0, 2));
            if ((w & 0xC000) == 0) {
                silent = (w & 0x0100) != 0;
                b28 = (w & 0x2000) != 0;
            } else if ((w & 0xC000) == 0x4000 && b28) {
                ftw = lowPending ? ((w & 0x3FFFu) << 14) | low : ftw;
                low = w & 0x3FFF;
                lowPending = !lowPending;
            }
        } else if (chip == "AD9910") {
            if (b.at(0) == 0x02) ad9910Cfr3 = static_cast<std::uint32_t>(bigEndian(1, 4));
            if (b.at(0) == 0x0E) {
                const std::uint64_t profile = bigEndian(1, 8);
                ftw = profile & 0xFFFFFFFF;
                silent = ((profile >> 48) & 0x3FFF) == 0;
            }
        } else if (chip == "AD9912") {
            const auto address = bigEndian(0, 2) & 0x1FFF;
            if (address == 0x01AB) ftw = bigEndian(2, 6);
            if (address == 0x0020) ad9912NDivider = b.at(2);
            if (address == 0x0022) ad9912PllConfig = b.at(2);
            silent = ftw == 0;
        }
    }
    // The AD9910's clock from its reference: the /2 input divider unless bit 15 bypasses it,
    // then the PLL (bit 8) with N in bits 7..1.
    double ad9910Clock(double refHz) const {
        const double in = (ad9910Cfr3 & 0x8000) ? refHz : refHz / 2;
        return (ad9910Cfr3 & 0x100) ? in * ((ad9910Cfr3 >> 1) & 0x7F) : in;
    }
    // The AD9912's PLL: 2 x (N + 2), doubled again by the reference doubler (bit 3).
    double ad9912Clock(double refHz) const {
        return refHz * ((ad9912PllConfig & 0x08) ? 2 : 1) * 2 * (ad9912NDivider + 2);
    }
};

}  // namespace meridel::testing
