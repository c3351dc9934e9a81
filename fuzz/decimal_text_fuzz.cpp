// The field decimal text of every finite double: reading it back gives the value rounded to 15
// significant digits, writing that again gives the same text, and the text has the documented
// shape (a blank or "-", no "0" before the point, no trailing zeros).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "numbers/decimal_text.h"
#include "numbers/field_number.h"

namespace {

// The oracle goes through the C library rather than the program's own code: printf rounds the
// exact binary value to 15 significant digits and strtod reads it back.
double roundedTo15Digits(double x) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", x);
    return std::strtod(buffer, nullptr);
}

bool hasDocumentedShape(const std::string& text, double x) {
    if (text.empty() || text.size() > 24) return false;
    if (text[0] != (x < 0 ? '-' : ' ')) return false;
    const std::string digits = text.substr(1);
    if (digits.size() > 1 && digits[0] == '0') return false;  // " .5", never " 0.5"
    const std::size_t exponent = digits.find('E');
    const std::string mantissa = digits.substr(0, exponent);
    if (mantissa.find('.') != std::string::npos && mantissa.back() == '0') return false;
    if (mantissa.back() == '.') return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace meridel::numbers;
    if (size < sizeof(double)) return -1;  // run with -max_len=8
    double x;
    std::memcpy(&x, data, sizeof x);
    if (!std::isfinite(x)) return -1;

    const std::string text = fieldDecimalText(x);
    FUZZ_CHECK(hasDocumentedShape(text, x));
    const double back = parseFieldNumber(text);
    FUZZ_CHECK(back == roundedTo15Digits(x));
    // Just below the largest double the 15-digit rounding lies beyond the double range and
    // reads back as infinity (a run reports it as an overflow); every other text is stable.
    if (std::isfinite(back)) FUZZ_CHECK(fieldDecimalText(back) == text);
    return 0;
}
