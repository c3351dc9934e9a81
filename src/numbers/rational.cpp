#include "numbers/rational.h"

#include <algorithm>
#include <cmath>

#include "numbers/double_chars.h"

namespace meridel::numbers {
namespace {

Int128 gcd(Int128 a, Int128 b) {
    if (a < 0) a = -a;
    if (b < 0) b = -b;
    while (b != 0) {
        const Int128 t = a % b;
        a = b;
        b = t;
    }
    return a;
}

Int128 mul(Int128 a, Int128 b) {
    Int128 r = 0;
    if (__builtin_mul_overflow(a, b, &r)) throw RationalOverflow("exact product out of range");
    return r;
}

Int128 add(Int128 a, Int128 b) {
    Int128 r = 0;
    if (__builtin_add_overflow(a, b, &r)) throw RationalOverflow("exact sum out of range");
    return r;
}

}  // namespace

Rational::Rational(Int128 num, Int128 den) {
    if (den == 0) throw RationalOverflow("fraction with a zero denominator");
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const Int128 g = gcd(num, den);
    num_ = g > 1 ? num / g : num;
    den_ = g > 1 ? den / g : den;
}

std::optional<Rational> Rational::fromDouble(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    if (value == 0) return Rational();
    int exponent = 0;
    const double mantissa = std::frexp(value, &exponent);  // value = mantissa x 2^exponent
    const auto whole = static_cast<Int128>(std::ldexp(mantissa, 53));
    const int shift = exponent - 53;
    if (shift < -62 || shift > 47) return std::nullopt;
    if (shift >= 0) return Rational(whole << shift);
    return Rational(whole, Int128(1) << -shift);
}

Int128 Rational::floor() const {
    const Int128 q = num_ / den_;
    return (num_ % den_ != 0 && num_ < 0) ? q - 1 : q;
}

double Rational::toDouble() const {
    const Int128 whole = num_ / den_;
    const Int128 rest = num_ % den_;
    return static_cast<double>(whole) + static_cast<double>(rest) / static_cast<double>(den_);
}

Rational operator+(const Rational& x, const Rational& y) {
    const Int128 g = gcd(x.den_, y.den_);
    return Rational(add(mul(x.num_, y.den_ / g), mul(y.num_, x.den_ / g)), mul(x.den_ / g, y.den_));
}

Rational operator-(const Rational& x, const Rational& y) {
    return x + Rational(-y.num_, y.den_);
}

Rational operator*(const Rational& x, const Rational& y) {
    const Int128 g1 = gcd(x.num_, y.den_);
    const Int128 g2 = gcd(y.num_, x.den_);
    const Int128 a = g1 > 1 ? g1 : 1;
    const Int128 b = g2 > 1 ? g2 : 1;
    return Rational(mul(x.num_ / a, y.num_ / b), mul(x.den_ / b, y.den_ / a));
}

Rational operator/(const Rational& x, const Rational& y) {
    if (y.num_ == 0) throw RationalOverflow("exact division by zero");
    return x * Rational(y.den_, y.num_);
}

std::strong_ordering operator<=>(const Rational& x, const Rational& y) {
    return mul(x.num_, y.den_) <=> mul(y.num_, x.den_);
}

Rational bestApproximation(const Rational& x, Int128 maxDen) {
    if (x.den() <= maxDen) return x;
    // Convergents p/q of the continued fraction of x, until the next denominator is too large.
    Int128 p0 = 0, q0 = 1, p1 = 1, q1 = 0;
    Int128 n = x.num(), d = x.den();
    for (;;) {
        const Int128 a = (n >= 0 || n % d == 0) ? n / d : n / d - 1;  // floor; d > 0
        const Int128 q2 = add(q0, mul(a, q1));
        if (q2 > maxDen) break;
        const Int128 p2 = add(p0, mul(a, p1));
        p0 = p1;
        q0 = q1;
        p1 = p2;
        q1 = q2;
        const Int128 rest = n - a * d;
        n = d;
        d = rest;
    }
    // The largest semiconvergent within the bound competes with the last convergent.
    const Int128 k = (maxDen - q0) / q1;
    const Rational semi(p0 + k * p1, q0 + k * q1);
    const Rational conv(p1, q1);
    return (conv - x).abs() <= (semi - x).abs() ? conv : semi;
}

Rational roundedTo(const Rational& x, Int128 den) {
    return Rational((x * Rational(den) + Rational(1, 2)).floor(), den);
}

std::optional<Rational> decimalValue(double value, int digits) {
    constexpr double kLargest = 1e25, kSmallest = 1e-20;  // 10^(20 + 17) still fits 127 bits
    if (!std::isfinite(value) || std::fabs(value) > kLargest ||
        (value != 0 && std::fabs(value) < kSmallest)) {
        return std::nullopt;
    }
    // "%.*g" spells it: "-1.40971e+07", "0.0015", "1270.458984375".
    const std::string text = generalText(value, std::clamp(digits, 1, 17));
    Int128 mantissa = 0;
    int exponent = 0;
    std::size_t at = text[0] == '-' ? 1 : 0;
    for (bool point = false; at < text.size() && text[at] != 'e'; ++at) {
        if (text[at] == '.') {
            point = true;
            continue;
        }
        mantissa = mantissa * 10 + (text[at] - '0');
        if (point) --exponent;
    }
    if (at < text.size()) exponent += std::stoi(text.substr(at + 1));
    Int128 scale = 1;
    for (int i = 0; i < (exponent < 0 ? -exponent : exponent); ++i) scale *= 10;
    if (text[0] == '-') mantissa = -mantissa;
    return exponent < 0 ? Rational(mantissa, scale) : Rational(mantissa * scale);
}

std::string decimalText(Int128 value) {
    if (value == 0) return "0";
    const bool negative = value < 0;
    std::string digits;
    while (value != 0) {
        const int digit = static_cast<int>(value % 10);
        digits.insert(digits.begin(), static_cast<char>('0' + (digit < 0 ? -digit : digit)));
        value /= 10;
    }
    return negative ? "-" + digits : digits;
}

}  // namespace meridel::numbers
