#include "numbers/field_number.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "numbers/double_chars.h"

namespace meridel::numbers {
namespace {

bool isSkippedBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Walks the text, skipping blanks where the lenient reading allows them.
class Cursor {
public:
    Cursor(std::string_view text, bool skipBlanks) : text_(text), skipBlanks_(skipBlanks) {}

    char peek() {
        if (skipBlanks_) {
            while (pos_ < text_.size() && isSkippedBlank(text_[pos_])) ++pos_;
        }
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void advance() { ++pos_; }
    std::size_t position() const { return pos_; }
    void rewind(std::size_t pos) { pos_ = pos; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    bool skipBlanks_;
};

struct Scan {
    double value = 0;
    bool hasDigits = false;
};

// "&H1F" or "&O17": an unsigned integer in base 16 or 8. Accumulating in a double keeps it exact
// up to 2^53 and saturates to infinity instead of overflowing.
Scan scanRadixInteger(Cursor& cursor, int base) {
    Scan scan;
    for (;;) {
        const char c = upper(cursor.peek());
        int digit = -1;
        if (isDigit(c)) digit = c - '0';
        if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0 || digit >= base) break;
        scan.value = scan.value * base + digit;
        scan.hasDigits = true;
        cursor.advance();
    }
    return scan;
}

// Decimal digits keep only what decides the value: at most this many significant digits
// are kept (the rest only changes the decimal exponent), which bounds the work for huge texts
// while staying far beyond the 17 digits that decide a double.
constexpr std::size_t kMaxKeptDigits = 800;

Scan scanDecimal(Cursor& cursor) {
    Scan scan;
    // Significant digits only, no point; the converted text is built in place behind them.
    char mantissa[kMaxKeptDigits + 32];
    std::size_t digits = 0;
    long long exponentShift = 0;  // decimal exponent adjustment from dropped or fractional digits
    bool negative = false;

    if (cursor.peek() == '+' || cursor.peek() == '-') {
        negative = cursor.peek() == '-';
        cursor.advance();
    }
    bool seenPoint = false;
    for (;;) {
        const char c = cursor.peek();
        if (c == '.' && !seenPoint) {
            seenPoint = true;
            cursor.advance();
            continue;
        }
        if (!isDigit(c)) break;
        scan.hasDigits = true;
        cursor.advance();
        if (digits == 0 && c == '0') {
            if (seenPoint) --exponentShift;
            continue;
        }
        if (digits < kMaxKeptDigits) {
            mantissa[digits++] = c;
            if (seenPoint) --exponentShift;
        } else if (!seenPoint) {
            ++exponentShift;
        }
    }
    if (!scan.hasDigits) return scan;

    // Optional exponent: only taken when at least one digit follows "E"/"D" and its sign.
    const std::size_t beforeExponent = cursor.position();
    long long exponent = 0;
    const char marker = upper(cursor.peek());
    if (marker == 'E' || marker == 'D') {
        cursor.advance();
        bool exponentNegative = false;
        if (cursor.peek() == '+' || cursor.peek() == '-') {
            exponentNegative = cursor.peek() == '-';
            cursor.advance();
        }
        bool exponentDigits = false;
        while (isDigit(cursor.peek())) {
            exponentDigits = true;
            if (exponent < 100000000) exponent = exponent * 10 + (cursor.peek() - '0');
            cursor.advance();
        }
        if (exponentDigits) {
            if (exponentNegative) exponent = -exponent;
        } else {
            exponent = 0;
            cursor.rewind(beforeExponent);
        }
    }

    if (digits == 0) {
        scan.value = 0.0;  // "-0" reads as plain 0
        return scan;
    }
    const long long decimalExponent = exponent + exponentShift;
    // The value is 0.mantissa x 10^(decimalExponent + digits); far outside the double range
    // the answer is known without converting.
    const long long magnitude = decimalExponent + static_cast<long long>(digits);
    double value;
    if (magnitude > 400) {
        value = std::numeric_limits<double>::infinity();
    } else if (magnitude < -400) {
        value = 0.0;
    } else {
        char* end = mantissa + digits;
        *end++ = 'e';
        end = std::to_chars(end, mantissa + sizeof mantissa, decimalExponent).ptr;
        const auto converted = scientificValue(mantissa, end);
        if (converted) {
            value = *converted;
        } else {
            value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        }
    }
    scan.value = negative ? -value : value;
    return scan;
}

Scan scanNumber(Cursor& cursor) {
    if (cursor.peek() == '&') {
        const std::size_t start = cursor.position();
        cursor.advance();
        const char radix = upper(cursor.peek());
        if (radix == 'H' || radix == 'O') {
            cursor.advance();
            return scanRadixInteger(cursor, radix == 'H' ? 16 : 8);
        }
        cursor.rewind(start);
        return {};
    }
    return scanDecimal(cursor);
}

// sign? (digits ("." digits?)? | "." digits) (("e" | "E") sign? digits)?
bool isPlainDecimal(std::string_view t) {
    std::size_t i = 0;
    const auto digits = [&]() {
        const std::size_t start = i;
        while (i < t.size() && isDigit(t[i])) ++i;
        return i > start;
    };
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool mantissa = digits();
    if (i < t.size() && t[i] == '.') {
        ++i;
        mantissa = digits() || mantissa;
    }
    if (!mantissa) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        if (!digits()) return false;
    }
    return i == t.size();
}

}  // namespace

double parseFieldNumber(std::string_view text) {
    Cursor cursor(text, /*skipBlanks=*/true);
    return scanNumber(cursor).value;
}

std::optional<double> parseWholeNumber(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    const auto last = text.find_last_not_of(" \t");
    const std::string_view core = text.substr(first, last - first + 1);
    Cursor cursor(core, /*skipBlanks=*/false);
    const Scan scan = scanNumber(cursor);
    if (!scan.hasDigits || cursor.position() != core.size()) return std::nullopt;
    return scan.value;
}

std::optional<double> parsePlainNumber(std::string_view text) {
    if (!isPlainDecimal(text)) return std::nullopt;
    const auto value = parseWholeNumber(text);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

std::string_view unreadFieldRest(std::string_view text) {
    Cursor cursor(text, /*skipBlanks=*/true);
    scanNumber(cursor);
    cursor.peek();  // past the blanks after the number
    return text.substr(cursor.position());
}

}  // namespace meridel::numbers
