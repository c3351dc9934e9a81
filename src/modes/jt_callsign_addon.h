// Compound callsigns of JT65/JT4: a prefix or suffix riding along with an ordinary callsign.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace meridel::modes {

struct CallAddOn {
    enum class Kind { Type1Prefix, Type1Suffix, Type2Prefix, Type2Suffix } kind;
    std::uint32_t k;        // Type 1: 1..339 prefixes, 401..412 suffixes; Type 2: base-37 value
    std::string_view base;  // the ordinary callsign it goes with
};

// 1-based position of a DXCC prefix in the Type 1 table (1..339), or 0 when it is not there.
int type1PrefixIndex(std::string_view prefix);

// Splits a word holding a '/' into its add-on and base callsign, or nullopt when neither side
// can be an add-on (the message then goes as free text).
std::optional<CallAddOn> parseCallAddOn(std::string_view word);

}  // namespace meridel::modes
