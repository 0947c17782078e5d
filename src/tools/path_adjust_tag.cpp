#include "tools/path_adjust_tag.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "shell/decimal_text.h"

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

int FormatPathAdjustTag(char* buffer, std::size_t size, const RealMatrix& matrix, const RealPoint& first, double angle,
                        double length) {
    // "%g" field by field, so that the host's locale cannot turn a decimal point into a comma, which
    // the record's own separator would not survive.
    const double fields[] = {matrix.a, matrix.b, matrix.c, matrix.d, matrix.tx, matrix.ty, first.h, first.v, angle, length};
    char numbers[sizeof fields / sizeof fields[0]][32];
    for (std::size_t i = 0; i < sizeof fields / sizeof fields[0]; ++i) FormatDecimal(fields[i], numbers[i], sizeof numbers[i]);
    return std::snprintf(buffer, size, "%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,0", numbers[0], numbers[1], numbers[2], numbers[3],
                         numbers[4], numbers[5], numbers[6], numbers[7], numbers[8], numbers[9]);
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

PathAdjustTag ParsePathAdjustTag(const char* text, std::size_t size) {
    PathAdjustTag tag{RealMatrix{1, 0, 0, 1, 0, 0}, RealPoint{0, 0}, 0.0, 0.0, 0};
    std::size_t length = 0;
    const std::size_t limit = size < kPathAdjustTagReadLimit ? size : kPathAdjustTagReadLimit;
    while (length < limit && text[length] != '\0') ++length;

    double* const fields[10] = {&tag.matrix.a, &tag.matrix.b, &tag.matrix.c,  &tag.matrix.d, &tag.matrix.tx,
                                &tag.matrix.ty, &tag.first.h, &tag.first.v, &tag.angle,    &tag.length};
    const char* const end = text + length;
    const char* start = text;
    for (const char* p = text; p < end; ++p) {
        if (*p != ',') continue;
        if (tag.tokens < 10) *fields[tag.tokens] = ReadDecimalNumber(start, p);
        ++tag.tokens;  // further tokens are counted and ignored
        start = p + 1;
    }
    return tag;
}
