#pragma once

#include <string>

namespace meridel::numbers {

// The number texts the program writes. All use "." whatever the locale and round to 15
// significant digits (ties as the exact binary value decides), without trailing zeros.
//
// Magnitudes whose rounded decimal exponent lies outside -5 < e < 15 take the exponent form
// "1.5E+20" / "1E-05" (upper-case E, a sign, at least two exponent digits): ordinary
// frequencies never reach it, and it keeps every text short and readable back by the
// field-number parse. Infinity and NaN never reach these functions in a run (the checked
// arithmetic stops first); for completeness they spell "Infinity", "-Infinity" and "NaN".

// The field decimal text: one blank for zero and positive values, "-" for negative ones, and no
// "0" before the decimal point (0.5 gives " .5", -25.2525 gives "-25.2525").
std::string fieldDecimalText(double value);

// The field decimal text without its leading blank ("1500", ".5", "-20").
std::string trimmedDecimalText(double value);

// The plain decimal text of the keying RF frequency: no leading blank, a minus sign when
// negative, and the usual "0" before the point of a magnitude below 1 ("50.0015", "0.0015").
std::string plainDecimalText(double value);

}  // namespace meridel::numbers
