#pragma once

#include <optional>
#include <string>

namespace meridel::numbers {

// The conversions between doubles and decimal text that the program needs, both correctly
// rounded and independent of the locale. The C++ library's floating-point <charconv> does them
// where the library has it; elsewhere (WebAssembly's libc++) the C library's strtod and
// snprintf do, which round the same way, so both builds give the same bits and digits.

// `value` with `precision` significant digits in printf's "%.*g" form, e.g. "204.8", "1.5e+20".
std::string generalText(double value, int precision);

// The value of a "digits[e[-]exponent]" text (no sign, no point); nothing when it lies beyond
// the double range (it would overflow or underflow to zero).
std::optional<double> scientificValue(const char* first, const char* last);

// The shortest text that reads back as `value` (finite): in fixed notation, or in whichever of
// fixed and scientific is shorter (fixed on a tie), as std::to_chars writes them.
std::string shortestFixedText(double value);
std::string shortestText(double value);

// The C library's versions of both, always built so that tests can hold them against the
// C++ library's.
namespace c_library {
std::string generalText(double value, int precision);
std::optional<double> scientificValue(const char* first, const char* last);
std::string shortestFixedText(double value);
std::string shortestText(double value);
}  // namespace c_library

}  // namespace meridel::numbers
