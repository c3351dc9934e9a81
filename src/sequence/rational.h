// Exact time: a fraction of two 64-bit integers, always in lowest terms with a positive
// denominator. Symbol periods such as 8192/12000 s or 1/6 s are not finite binary fractions, so
// a cycle added up in doubles drifts by rounding; in fractions it lands on the cycle exactly.
#pragma once

#include <compare>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace meridel::sequence {

// A result that does not fit 64 bits (never for the seconds, ticks and periods of a cycle).
struct RationalOverflow : std::overflow_error {
    using std::overflow_error::overflow_error;
};

class Rational {
public:
    constexpr Rational() = default;
    Rational(std::int64_t whole) : num_(whole) {}  // NOLINT: a whole number is a fraction
    Rational(std::int64_t num, std::int64_t den);

    std::int64_t num() const { return num_; }
    std::int64_t den() const { return den_; }
    double toDouble() const { return static_cast<double>(num_) / static_cast<double>(den_); }

    // Rounded to the nearest whole number, halves away from zero.
    std::int64_t rounded() const;
    std::int64_t floor() const;

    // Reads a decimal text ("59.5", "-0.25", "12") exactly; false for anything else.
    static bool fromDecimal(std::string_view text, Rational& out);
    // Also reads a fraction of two decimals ("73/3"); false for a zero denominator or a value
    // that does not fit.
    static bool fromText(std::string_view text, Rational& out);
    // Shortest decimal text when the denominator is made of 2s and 5s, else "num/den".
    std::string text() const;

    friend Rational operator+(const Rational& a, const Rational& b);
    friend Rational operator-(const Rational& a, const Rational& b);
    friend Rational operator*(const Rational& a, const Rational& b);
    friend Rational operator/(const Rational& a, const Rational& b);
    Rational& operator+=(const Rational& b) { return *this = *this + b; }
    friend bool operator==(const Rational&, const Rational&) = default;
    friend std::strong_ordering operator<=>(const Rational& a, const Rational& b);

private:
    std::int64_t num_ = 0;
    std::int64_t den_ = 1;
};

}  // namespace meridel::sequence
