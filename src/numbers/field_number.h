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

// The reading of every number that is not typed into one of the main window's own fields:
// plan files, the options that the window has no field for, the tool windows' fields. The whole
// text is one decimal number: a sign, digits with "." as the decimal point, an exponent with E
// ("-2.5", "1.5e3"), and a finite value. Anything else (blanks, "14,0971", "&H1F", "nan", "inf",
// full-width digits, "") is no number: nullopt.
std::optional<double> parsePlainNumber(std::string_view text);

// What parseFieldNumber leaves unread of a text: the rest from the first character that ends its
// number, without the blanks before it ("MHz" of "10 MHz", ",0971" of "14,0971", all of "abc");
// empty when the whole text was read.
std::string_view unreadFieldRest(std::string_view text);

}  // namespace meridel::numbers
