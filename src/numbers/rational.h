#pragma once

#include <compare>
#include <optional>
#include <stdexcept>
#include <string>

namespace meridel::numbers {

__extension__ using Int128 = __int128;

// An exact result that no longer fits 127 bits; the message names the operation.
class RationalOverflow : public std::overflow_error {
public:
    using std::overflow_error::overflow_error;
};

// An exact fraction in lowest terms with a positive denominator, for the searches that must not
// round (the Si5351 fractions, clock corrections). Every operation checks for overflow.
class Rational {
public:
    constexpr Rational() = default;
    Rational(Int128 num, Int128 den = 1);  // den must not be 0

    // The exact value of a finite double; nullopt when it needs a denominator above 2^62 or a
    // numerator above 2^100 (no frequency or clock comes near either).
    static std::optional<Rational> fromDouble(double value);

    Int128 num() const { return num_; }
    Int128 den() const { return den_; }
    Int128 floor() const;
    double toDouble() const;
    Rational abs() const { return num_ < 0 ? Rational(-num_, den_) : *this; }

    friend Rational operator+(const Rational& x, const Rational& y);
    friend Rational operator-(const Rational& x, const Rational& y);
    friend Rational operator*(const Rational& x, const Rational& y);
    friend Rational operator/(const Rational& x, const Rational& y);  // y must not be 0
    friend std::strong_ordering operator<=>(const Rational& x, const Rational& y);
    friend bool operator==(const Rational& x, const Rational& y) = default;

private:
    Int128 num_ = 0;
    Int128 den_ = 1;
};

// The fraction nearest to x among those with a denominator from 1 to maxDen, by continued
// fractions and their semiconvergents. maxDen >= 1.
Rational bestApproximation(const Rational& x, Int128 maxDen);

// x rounded to the nearest multiple of 1/den (ties up), to keep denominators small: a clock
// to the microhertz is far finer than any crystal is known.
Rational roundedTo(const Rational& x, Int128 den);

// The exact value of `value` rounded to `digits` significant decimal digits (1 to 17): at 15,
// the precision of every number text the program writes, so a frequency read from such a text
// comes back as the decimal it spells (14.0971 MHz as 140971/10000), not as the binary fraction
// nearest to it. nullopt for a value that is not finite, beyond 10^25 or, but for 0, below
// 10^-20.
std::optional<Rational> decimalValue(double value, int digits = 15);

// A whole number of up to 39 digits as decimal text, for messages and tests.
std::string decimalText(Int128 value);

}  // namespace meridel::numbers
