#include "numbers/decimal_text.h"

#include <cmath>

#include "numbers/double_chars.h"

namespace meridel::numbers {
namespace {

// |value| with 15 significant digits in the general form, e.g. "204.8", "0.5", "1.5E+20".
std::string magnitudeText(double magnitude) {
    if (std::isnan(magnitude)) return "NaN";
    if (std::isinf(magnitude)) return "Infinity";
    std::string text = generalText(magnitude, 15);
    for (char& c : text) {
        if (c == 'e') c = 'E';
    }
    return text;
}

}  // namespace

std::string fieldDecimalText(double value) {
    std::string digits = magnitudeText(std::fabs(value));
    if (digits.size() > 1 && digits[0] == '0' && digits[1] == '.') digits.erase(0, 1);
    return (value < 0 ? "-" : " ") + digits;
}

std::string trimmedDecimalText(double value) {
    std::string text = fieldDecimalText(value);
    if (text[0] == ' ') text.erase(0, 1);
    return text;
}

std::string plainDecimalText(double value) {
    // Appended rather than "-" + text: GCC 12 at -O3 warns falsely (-Wrestrict) on the latter.
    std::string text = value < 0 ? "-" : "";
    return text += magnitudeText(std::fabs(value));
}

}  // namespace meridel::numbers
