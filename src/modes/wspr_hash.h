// Bob Jenkins' lookup3 hashlittle (public domain), which WSPR uses to fold a callsign that
// does not fit its message into 15 bits.
#pragma once

#include <cstdint>
#include <string_view>

namespace meridel::modes {

std::uint32_t hashLittle(std::string_view key, std::uint32_t initval);

}  // namespace meridel::modes
