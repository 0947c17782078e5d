#include "tools/path_adjust_tag.h"

#include <cmath>
#include <cstdio>

#include "shell/decimal_text.h"

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

bool PathAdjustTagIsFinite(const PathAdjustTag& tag) {
    const double fields[] = {tag.matrix.a, tag.matrix.b, tag.matrix.c, tag.matrix.d, tag.matrix.tx,
                             tag.matrix.ty, tag.first.h,  tag.first.v,  tag.angle,    tag.length};
    for (double field : fields) {
        if (!std::isfinite(field)) return false;
    }
    return true;
}
