#pragma once

#include <cmath>
#include <cstdint>

#include "numbers/error.h"

namespace meridel::numbers {

// What went wrong in one checked operation of a calculation run.
enum class ArithmeticErrorKind { DivisionByZero, Overflow, Undefined, IntegerOverflow };

// Thrown by the checked operations below. The calculation run catches it and turns it into an
// arithmetic failure that names the value being computed; nothing after the failing step runs.
const char* describe(ArithmeticErrorKind kind);

struct ArithmeticError : Error {
    explicit ArithmeticError(ArithmeticErrorKind k) : Error(describe(k)), kind(k) {}
    ArithmeticErrorKind kind;
};

// Every floating-point step of a run goes through these, in exactly the order the formulas are
// written, so that a division by zero, an overflow to infinity or an undefined (NaN) result
// stops the run at the step where it happens.
namespace checked {

[[noreturn]] void fail(ArithmeticErrorKind kind);

inline double result(double r) {
    if (std::isnan(r)) fail(ArithmeticErrorKind::Undefined);
    if (std::isinf(r)) fail(ArithmeticErrorKind::Overflow);
    return r;
}
inline double add(double a, double b) {
    return result(a + b);
}
inline double sub(double a, double b) {
    return result(a - b);
}
inline double mul(double a, double b) {
    return result(a * b);
}
inline double div(double a, double b) {
    if (b == 0) fail(ArithmeticErrorKind::DivisionByZero);
    return result(a / b);
}
// A value read from a field: a decimal too large for a double reads as infinity.
inline double operand(double v) {
    return result(v);
}

// Rounds to the nearest integer, ties to the even neighbour (2.5 gives 2, 3.5 gives 4), and
// fails when the rounded value does not fit a signed 32-bit integer.
std::int32_t toInt32(double value);
// Rounds down (floor) and fails when the result does not fit a signed 32-bit integer.
std::int32_t toInt32Floor(double value);
// Rounding half to even for a signed 16-bit integer.
std::int16_t toInt16(double value);
// 32-bit integer addition that fails instead of wrapping.
std::int32_t addInt32(std::int32_t a, std::int32_t b);

}  // namespace checked

// Rounding half to even for the window's change handlers, which do nothing (return false) when
// the value does not fit a signed 32-bit integer instead of failing.
bool roundsToInt32(double value, std::int32_t& out);

}  // namespace meridel::numbers
