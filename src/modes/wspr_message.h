// WSPR's 50 source bits: a 28-bit callsign field and a 22-bit grid-and-power field.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace meridel::modes {

struct WsprSource {
    std::string text;  // normalised message
    std::uint32_t n1;  // 28 bits
    std::uint32_t n2;  // 22 bits
};

// Type 1 "CALL GRID4 DBM", Type 2 "PFX/CALL DBM" or "CALL/SFX DBM", Type 3 "<CALL> GRID6 DBM".
WsprSource packWsprMessage(std::string_view message);

}  // namespace meridel::modes
