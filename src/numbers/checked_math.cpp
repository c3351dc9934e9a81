#include "numbers/checked_math.h"

#include <limits>

namespace meridel::numbers {

const char* describe(ArithmeticErrorKind kind) {
    switch (kind) {
        case ArithmeticErrorKind::DivisionByZero:
            return "division by zero";
        case ArithmeticErrorKind::Overflow:
            return "overflow";
        case ArithmeticErrorKind::Undefined:
            return "undefined result";
        case ArithmeticErrorKind::IntegerOverflow:
            return "integer overflow";
    }
    return "arithmetic error";
}

namespace {

// std::nearbyint rounds in the current rounding mode, which is round-to-nearest-even unless
// someone changed it; the program never does.
template <typename Int>
bool roundHalfEven(double value, Int& out) {
    if (std::isnan(value)) return false;
    const double rounded = std::nearbyint(value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        return false;
    }
    out = static_cast<Int>(rounded);
    return true;
}

}  // namespace

bool roundsToInt32(double value, std::int32_t& out) {
    return roundHalfEven(value, out);
}

namespace checked {

void fail(ArithmeticErrorKind kind) {
    throw ArithmeticError(kind);
}

std::int32_t toInt32(double value) {
    std::int32_t out = 0;
    if (!roundHalfEven(value, out)) fail(ArithmeticErrorKind::IntegerOverflow);
    return out;
}

std::int32_t toInt32Floor(double value) {
    std::int32_t out = 0;
    if (!roundHalfEven(std::floor(value), out)) fail(ArithmeticErrorKind::IntegerOverflow);
    return out;
}

std::int16_t toInt16(double value) {
    std::int16_t out = 0;
    if (!roundHalfEven(value, out)) fail(ArithmeticErrorKind::IntegerOverflow);
    return out;
}

std::int32_t addInt32(std::int32_t a, std::int32_t b) {
    const std::int64_t sum = std::int64_t{a} + b;
    if (sum < std::numeric_limits<std::int32_t>::min() ||
        sum > std::numeric_limits<std::int32_t>::max()) {
        fail(ArithmeticErrorKind::IntegerOverflow);
    }
    return static_cast<std::int32_t>(sum);
}

}  // namespace checked
}  // namespace meridel::numbers
