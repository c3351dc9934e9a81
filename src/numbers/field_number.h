#pragma once

#include <optional>
#include <string_view>

namespace meridel::numbers {

// Reads a number from a field's text the lenient way every field is read: the longest leading
// numeric prefix counts (sign, digits with at most one ".", exponent with E or D), blanks, tabs
// and line feeds are skipped wherever they stand, "&H"/"&O" start a hexadecimal/octal integer,
// and a text without a numeric prefix reads as 0. "." is the decimal point in every locale.
// A decimal too large for a double reads as +/-infinity; the calculation run reports that as an
// overflow, and the window's change handlers leave their derived field alone.
double parseFieldNumber(std::string_view text);

// The strict whole-text reading used by the carrier handler of the Output carrier field: blanks
// around the number are allowed, anything else that is not part of the number makes the whole
// text "not a number" (nullopt). Same number grammar as parseFieldNumber, no digit grouping.
std::optional<double> parseWholeNumber(std::string_view text);

}  // namespace meridel::numbers
