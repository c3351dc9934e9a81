// The lenient field-number parse over arbitrary text: it always gives a number (never NaN),
// blanks, tabs and line feeds anywhere do not change it, and whenever the strict whole-text
// reading accepts a text it reads the same number.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "numbers/field_number.h"

namespace {

bool sameNumber(double a, double b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

std::string withoutSkippedBlanks(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') out += c;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace meridel::numbers;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const double lenient = parseFieldNumber(text);
    FUZZ_CHECK(!std::isnan(lenient));
    FUZZ_CHECK(sameNumber(parseFieldNumber(withoutSkippedBlanks(text)), lenient));

    if (const auto whole = parseWholeNumber(text)) FUZZ_CHECK(sameNumber(*whole, lenient));
    return 0;
}
