#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "si5351/registers.h"

namespace meridel::firmware {

// A Si5351 plan with a name for each of its tones.
struct Si5351Table {
    si5351::Plan plan;
    si5351::Output output;
    std::vector<std::string> ids;    // C-style, "WSPR_TONE_0", parallel to plan.tones
    std::vector<std::string> names;  // as the listing labels them
    std::string calibration;         // how the reference was corrected, empty for none
    // Each message table's tones 0..count-1 are plan.tones[first..], so a symbol indexes them.
    struct MessageTones {
        std::string key;  // the table's key, "wspr"
        std::size_t first = 0;
        std::size_t count = 0;
    };
    std::vector<MessageTones> messages;
};

// The C header: the I2C set-up as a {register, count, bytes...} list ending in a 0 count, and per
// tone the write that switches to it, with its fraction, actual frequency and error; and per
// message table those writes again as rows a symbol indexes. `prefix` starts every macro and
// table and the include guard, as in the DDS header (isMacroPrefix).
std::string si5351Header(const Si5351Table& table, std::string_view program,
                         std::string_view prefix = "SI5351");

}  // namespace meridel::firmware
