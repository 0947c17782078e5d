// Real Math and Real Bezier: pure arithmetic, so not gated. Matrices are [a b 0; c d 0; tx ty 1]
// applied to points as rows: "concatenating" a step appends it after what the matrix already does.
#include <cmath>

#include "document.h"
#include "suite_support.h"

namespace sim {

namespace {

std::int32_t PointEqual(const RealPoint* a, const RealPoint* b) { return a->h == b->h && a->v == b->v ? 1 : 0; }

double PointLength(const RealPoint* a, const RealPoint* b) { return std::hypot(b->h - a->h, b->v - a->v); }

double PointAngle(const RealPoint* a, const RealPoint* b) { return std::atan2(b->v - a->v, b->h - a->h); }

void PointLengthAngle(double length, double angle, RealPoint* result) {
    *result = RealPoint{length * std::cos(angle), length * std::sin(angle)};
}

// Moves each side inwards by h and v whichever way up the rectangle is given.
void RectInset(RealRect* rect, double h, double v) {
    const double horizontal = rect->right >= rect->left ? h : -h;
    const double vertical = rect->top >= rect->bottom ? v : -v;
    rect->left += horizontal;
    rect->right -= horizontal;
    rect->top -= vertical;
    rect->bottom += vertical;
}

std::int32_t PointInRect(const RealPoint* point, const RealRect* rect) {
    const bool across = point->h >= std::fmin(rect->left, rect->right) && point->h <= std::fmax(rect->left, rect->right);
    const bool up = point->v >= std::fmin(rect->top, rect->bottom) && point->v <= std::fmax(rect->top, rect->bottom);
    return across && up ? 1 : 0;
}

void MatrixSetIdentity(RealMatrix* matrix) { *matrix = RealMatrix{1, 0, 0, 1, 0, 0}; }

void MatrixSetTranslate(RealMatrix* matrix, double tx, double ty) { *matrix = RealMatrix{1, 0, 0, 1, tx, ty}; }

void MatrixConcat(const RealMatrix* first, const RealMatrix* second, RealMatrix* result) {
    const RealMatrix m = *first;  // copies: result may be either of them
    const RealMatrix n = *second;
    *result = RealMatrix{m.a * n.a + m.b * n.c,           m.a * n.b + m.b * n.d,           m.c * n.a + m.d * n.c,
                         m.c * n.b + m.d * n.d,           m.tx * n.a + m.ty * n.c + n.tx, m.tx * n.b + m.ty * n.d + n.ty};
}

void MatrixConcatTranslate(RealMatrix* matrix, double tx, double ty) {
    const RealMatrix step{1, 0, 0, 1, tx, ty};
    MatrixConcat(matrix, &step, matrix);
}

// Counter-clockwise with the artwork's y axis pointing up.
void MatrixConcatRotate(RealMatrix* matrix, double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const RealMatrix step{c, s, -s, c, 0, 0};
    MatrixConcat(matrix, &step, matrix);
}

std::int32_t MatrixInvert(RealMatrix* matrix) {
    const RealMatrix m = *matrix;
    const double determinant = m.a * m.d - m.b * m.c;
    if (determinant == 0 || !std::isfinite(determinant)) return 0;
    const double a = m.d / determinant;
    const double b = -m.b / determinant;
    const double c = -m.c / determinant;
    const double d = m.a / determinant;
    *matrix = RealMatrix{a, b, c, d, -(m.tx * a + m.ty * c), -(m.tx * b + m.ty * d)};
    return 1;
}

void MatrixXformPoint(const RealMatrix* matrix, const RealPoint* point, RealPoint* result) {
    *result = Apply(*matrix, *point);
}

RealPoint Between(const RealPoint& a, const RealPoint& b, double t) {
    return RealPoint{a.h + (b.h - a.h) * t, a.v + (b.v - a.v) * t};
}

// de Casteljau: left runs from p[0] to the split point, right from it to p[3].
void Divide(const RealPoint* p, double t, RealPoint* left, RealPoint* right) {
    const RealPoint p01 = Between(p[0], p[1], t);
    const RealPoint p12 = Between(p[1], p[2], t);
    const RealPoint p23 = Between(p[2], p[3], t);
    const RealPoint p012 = Between(p01, p12, t);
    const RealPoint p123 = Between(p12, p23, t);
    const RealPoint split = Between(p012, p123, t);
    const RealPoint first = p[0];
    const RealPoint last = p[3];
    left[0] = first;
    left[1] = p01;
    left[2] = p012;
    left[3] = split;
    right[0] = split;
    right[1] = p123;
    right[2] = p23;
    right[3] = last;
}

}  // namespace

template <>
const RealMathSuite* SuiteTable<RealMathSuite>() {
    static const RealMathSuite table{PointEqual,         PointLength,      PointAngle,           PointLengthAngle,
                                     RectInset,          PointInRect,      MatrixSetIdentity,    MatrixSetTranslate,
                                     MatrixConcatTranslate, MatrixConcatRotate, MatrixConcat,    MatrixInvert,
                                     MatrixXformPoint};
    return &table;
}

template <>
const RealBezierSuite* SuiteTable<RealBezierSuite>() {
    static const RealBezierSuite table{Divide};
    return &table;
}

}  // namespace sim
