#include "sequence/rational.h"

#include <algorithm>
#include <numeric>

namespace meridel::sequence {
namespace {

using Wide = __int128;

std::int64_t narrow(Wide value) {
    if (value > INT64_MAX || value < -static_cast<Wide>(INT64_MAX)) {
        throw RationalOverflow("time value too large for exact arithmetic");
    }
    return static_cast<std::int64_t>(value);
}

Rational reduced(Wide num, Wide den) {
    if (den == 0) throw RationalOverflow("division by zero in exact time arithmetic");
    if (den < 0) {
        num = -num;
        den = -den;
    }
    Wide a = num < 0 ? -num : num;
    Wide b = den;
    while (b != 0) {
        const Wide t = a % b;
        a = b;
        b = t;
    }
    if (a > 1) {
        num /= a;
        den /= a;
    }
    return Rational(narrow(num), narrow(den));
}

}  // namespace

Rational::Rational(std::int64_t num, std::int64_t den) {
    if (den == 0) throw RationalOverflow("division by zero in exact time arithmetic");
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const std::int64_t g = std::gcd(num, den);
    num_ = g > 1 ? num / g : num;
    den_ = g > 1 ? den / g : den;
}

std::int64_t Rational::floor() const {
    const std::int64_t q = num_ / den_;
    return (num_ % den_ != 0 && num_ < 0) ? q - 1 : q;
}

std::int64_t Rational::rounded() const {
    const Wide twice = static_cast<Wide>(num_) * 2;
    const Wide den2 = static_cast<Wide>(den_) * 2;
    // (2n + d) / 2d toward minus infinity for n >= 0, mirrored below zero.
    if (num_ >= 0) return narrow((twice + den_) / den2);
    return -narrow((-twice + den_) / den2);
}

bool Rational::fromDecimal(std::string_view text, Rational& out) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    Wide num = 0;
    Wide den = 1;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return false;
        digits = true;
        num = num * 10 + (c - '0');
        if (point) den *= 10;
        if (num > INT64_MAX || den > INT64_MAX) return false;
    }
    if (!digits) return false;
    out = reduced(negative ? -num : num, den);
    return true;
}

bool Rational::fromText(std::string_view text, Rational& out) {
    const auto slash = text.find('/');
    if (slash == std::string_view::npos) return fromDecimal(text, out);
    Rational num;
    Rational den;
    if (!fromDecimal(text.substr(0, slash), num) || !fromDecimal(text.substr(slash + 1), den) ||
        den == Rational(0)) {
        return false;
    }
    try {
        out = num / den;
    } catch (const RationalOverflow&) {
        return false;
    }
    return true;
}

std::string Rational::text() const {
    std::int64_t d = den_;
    int twos = 0;
    int fives = 0;
    while (d % 2 == 0) d /= 2, ++twos;
    while (d % 5 == 0) d /= 5, ++fives;
    if (d != 1) return std::to_string(num_) + "/" + std::to_string(den_);
    const int places = std::max(twos, fives);
    Wide scaled = static_cast<Wide>(num_ < 0 ? -num_ : num_);
    for (int k = 0; k < places; ++k) scaled *= 10;
    scaled /= den_;
    std::string digits = std::to_string(static_cast<std::int64_t>(scaled));
    if (places > 0) {
        if (digits.size() <= static_cast<std::size_t>(places)) {
            digits.insert(0, static_cast<std::size_t>(places) + 1 - digits.size(), '0');
        }
        digits.insert(digits.size() - static_cast<std::size_t>(places), 1, '.');
    }
    if (num_ < 0) digits.insert(0, 1, '-');
    return digits;
}

Rational operator+(const Rational& a, const Rational& b) {
    return reduced(static_cast<Wide>(a.num_) * b.den_ + static_cast<Wide>(b.num_) * a.den_,
                   static_cast<Wide>(a.den_) * b.den_);
}
Rational operator-(const Rational& a, const Rational& b) {
    return reduced(static_cast<Wide>(a.num_) * b.den_ - static_cast<Wide>(b.num_) * a.den_,
                   static_cast<Wide>(a.den_) * b.den_);
}
Rational operator*(const Rational& a, const Rational& b) {
    return reduced(static_cast<Wide>(a.num_) * b.num_, static_cast<Wide>(a.den_) * b.den_);
}
Rational operator/(const Rational& a, const Rational& b) {
    return reduced(static_cast<Wide>(a.num_) * b.den_, static_cast<Wide>(a.den_) * b.num_);
}
std::strong_ordering operator<=>(const Rational& a, const Rational& b) {
    return static_cast<Wide>(a.num_) * b.den_ <=> static_cast<Wide>(b.num_) * a.den_;
}

}  // namespace meridel::sequence
