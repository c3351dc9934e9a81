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

namespace {

// The fewest significant digits that read back as `value`, and the decimal exponent of the
// first: value = 0.d1d2... x 10^(exponent + 1).
struct ShortestDigits {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

ShortestDigits shortestDigits(double value) {
    ShortestDigits out;
    out.negative = std::signbit(value);
    char buffer[64];
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, std::fabs(value));
        if (std::strtod(buffer, nullptr) != std::fabs(value)) continue;
        const std::string text(buffer);
        const std::size_t e = text.find('e');
        for (std::size_t i = 0; i < e; ++i) {
            if (text[i] >= '0' && text[i] <= '9') out.digits += text[i];
        }
        out.exponent = std::atoi(text.c_str() + e + 1);
        break;
    }
    return out;
}

std::string fixedOf(const ShortestDigits& d, double value) {
    std::string text = d.negative ? "-" : "";
    if (d.exponent < 0) {
        text += "0." + std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
        return text;
    }
    const std::size_t whole = static_cast<std::size_t>(d.exponent) + 1;
    if (d.digits.size() <= whole) {
        // A whole number: of the texts of this length, the exact one is closest.
        char buffer[400];
        std::snprintf(buffer, sizeof buffer, "%.0f", std::fabs(value));
        return text + buffer;
    }
    return text + d.digits.substr(0, whole) + "." + d.digits.substr(whole);
}

std::string scientificOf(const ShortestDigits& d) {
    std::string text = d.negative ? "-" : "";
    text += d.digits.substr(0, 1);
    // Appended rather than "." + rest: GCC 12 at -O3 warns falsely (-Wrestrict) on the latter.
    if (d.digits.size() > 1) text.append(".").append(d.digits, 1);
    const int magnitude = d.exponent < 0 ? -d.exponent : d.exponent;
    text += d.exponent < 0 ? "e-" : "e+";
    if (magnitude < 10) text += "0";
    return text + std::to_string(magnitude);
}

// As <charconv> writes them: the digit search has nothing to find in these.
std::string nonFiniteText(double value) {
    return std::string(std::signbit(value) ? "-" : "") + (std::isnan(value) ? "nan" : "inf");
}

}  // namespace

std::string shortestFixedText(double value) {
    if (!std::isfinite(value)) return nonFiniteText(value);
    return fixedOf(shortestDigits(value), value);
}

std::string shortestText(double value) {
    if (!std::isfinite(value)) return nonFiniteText(value);
    const ShortestDigits d = shortestDigits(value);
    std::string fixed = fixedOf(d, value);
    std::string scientific = scientificOf(d);
    return scientific.size() < fixed.size() ? scientific : fixed;
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

std::string shortestFixedText(double value) {
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

std::string shortestText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

#else

std::string generalText(double value, int precision) {
    return c_library::generalText(value, precision);
}

std::optional<double> scientificValue(const char* first, const char* last) {
    return c_library::scientificValue(first, last);
}

std::string shortestFixedText(double value) {
    return c_library::shortestFixedText(value);
}

std::string shortestText(double value) {
    return c_library::shortestText(value);
}

#endif

}  // namespace meridel::numbers
