#include "shell/decimal_text.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

const char* SkipDigits(const char* p, const char* end) {
    while (p < end && IsDigit(*p)) ++p;
    return p;
}

// For a number that does not fit a double: whether it is too large (rather than too small), from
// the position of its first significant digit and its exponent.
bool Overflows(const char* begin, const char* end) {
    long magnitude = 0;  // the power of ten of the first significant digit
    bool significant = false;
    bool fraction = false;
    const char* p = begin;
    for (; p < end && *p != 'e' && *p != 'E'; ++p) {
        if (*p == '.') {
            fraction = true;
        } else if (!significant && *p != '0') {
            significant = true;
            if (fraction) --magnitude;  // 0.5 is 5e-1
        } else if (significant && !fraction) {
            ++magnitude;  // a further integer digit
        } else if (!significant && fraction) {
            --magnitude;  // a zero between the point and the first significant digit
        }
    }
    long exponent = 0;
    if (p < end) {
        ++p;
        const bool negative = p < end && *p == '-';
        if (p < end && (*p == '+' || *p == '-')) ++p;
        for (; p < end && exponent < 100000; ++p) exponent = exponent * 10 + (*p - '0');
        if (negative) exponent = -exponent;
    }
    return magnitude + exponent > 0;
}

}  // namespace

void FormatDecimal(double value, char* text, std::size_t size) {
    if (size == 0) return;
    // to_chars with precision 6 in general form is exactly "%g".
    const std::to_chars_result result = std::to_chars(text, text + size - 1, value, std::chars_format::general, 6);
    *(result.ec == std::errc() ? result.ptr : text) = '\0';
}

double ReadDecimalNumber(const char* begin, const char* end) {
    const char* p = begin;
    while (p < end && IsSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const char* mantissa = p;
    const char* q = SkipDigits(p, end);
    bool digits = q > p;
    if (q < end && *q == '.') {
        const char* fraction = SkipDigits(q + 1, end);
        digits = digits || fraction > q + 1;
        q = fraction;
    }
    if (!digits) return 0.0;
    // An exponent counts only when at least one digit follows its letter and sign.
    if (q < end && (*q == 'e' || *q == 'E')) {
        const char* e = q + 1;
        if (e < end && (*e == '+' || *e == '-')) ++e;
        const char* exponentEnd = SkipDigits(e, end);
        if (exponentEnd > e) q = exponentEnd;
    }
    double value = 0.0;
    const std::from_chars_result result = std::from_chars(mantissa, q, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = Overflows(mantissa, q) ? std::numeric_limits<double>::infinity() : 0.0;  // as strtod
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

double ReadDecimalNumber(const char* text) { return text == nullptr ? 0.0 : ReadDecimalNumber(text, text + std::strlen(text)); }
