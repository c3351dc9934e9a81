#include "numbers/double_chars.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace meridel::numbers {

namespace c_library {

std::string generalText(double value, int precision) {
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
    std::string text(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
    // A locale with a decimal comma must not leak into the program's texts.
    for (char& c : text) {
        if (c == ',') c = '.';
    }
    return text;
}

std::optional<double> scientificValue(const char* first, const char* last) {
    // The text has no radix character, so strtod's locale does not matter.
    const std::string text(first, last);
    errno = 0;
    const double value = std::strtod(text.c_str(), nullptr);
    // ERANGE alone also flags subnormal results, which are in range.
    if (errno == ERANGE && (value == 0.0 || std::isinf(value))) return std::nullopt;
    return value;
}

}  // namespace c_library

// libstdc++ announces floating-point <charconv> with __cpp_lib_to_chars; libc++ of the
// WebAssembly tool chain has only the integer half.
#if defined(__cpp_lib_to_chars)

std::string generalText(double value, int precision) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
    return std::string(buffer, result.ptr);
}

std::optional<double> scientificValue(const char* first, const char* last) {
    double value = 0.0;
    const auto result = std::from_chars(first, last, value);
    if (result.ec == std::errc::result_out_of_range) return std::nullopt;
    return value;
}

#else

std::string generalText(double value, int precision) {
    return c_library::generalText(value, precision);
}

std::optional<double> scientificValue(const char* first, const char* last) {
    return c_library::scientificValue(first, last);
}

#endif

}  // namespace meridel::numbers
