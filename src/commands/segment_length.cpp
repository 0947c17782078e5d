#include "commands/segment_length.h"

#include <cmath>

#include "geometry/geometry.h"

namespace {

constexpr double kHalfTurn = 3.141593;
constexpr double kFullTurn = 6.283186;

// The samples and chords are worked out in flat arrays so the compiler can use vector arithmetic
// (each value is computed exactly as one at a time would be); only the sum stays in order of j.
double SampledLength(const AnchorRecord& a, const AnchorRecord& b) {
    double h[kBezierSteps + 1];
    double v[kBezierSteps + 1];
    h[0] = a.p.h;
    v[0] = a.p.v;
    const double* const weightA = gState->bezierA256;
    const double* const weightB = gState->bezierB256;
    for (int j = 1; j < kBezierSteps; ++j) {
        const int k = kBezierSteps - j;
        h[j] = weightA[j] * a.p.h + weightB[j] * a.out.h + weightB[k] * b.in.h + weightA[k] * b.p.h;
        v[j] = weightA[j] * a.p.v + weightB[j] * a.out.v + weightB[k] * b.in.v + weightA[k] * b.p.v;
    }
    h[kBezierSteps] = b.p.h;
    v[kBezierSteps] = b.p.v;

    double chord[kBezierSteps];
    for (int j = 0; j < kBezierSteps; ++j) {
        const double dh = h[j] - h[j + 1];
        const double dv = v[j] - v[j + 1];
        chord[j] = std::sqrt(dh * dh + dv * dv);
    }
    double length = 0.0;
    for (double c : chord) length += c;
    return length;
}

}  // namespace

double SegmentLength(const AnchorRecord& a, const AnchorRecord& b) {
    if (SegmentIsStraight(a, b)) return PointDistance(a.p, b.p);
    RealPoint centre;
    double radius = 0.0;
    if (SegmentIsArc(a, b, centre, radius)) {
        double sweep = RealAbs(PointAngle(centre, b.p) - PointAngle(centre, a.p));
        if (sweep > kHalfTurn) sweep = kFullTurn - sweep;
        return radius * sweep;
    }
    return SampledLength(a, b);
}
