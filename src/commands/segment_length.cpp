#include "commands/segment_length.h"

#include "geometry/geometry.h"

namespace {

constexpr double kHalfTurn = 3.141593;
constexpr double kFullTurn = 6.283186;

double SampledLength(const AnchorRecord& a, const AnchorRecord& b) {
    double length = 0.0;
    RealPoint previous = a.p;
    for (int j = 1; j < kBezierSteps; ++j) {
        const RealPoint sample = BezierPoint(a, b, j);
        length += PointDistance(previous, sample);
        previous = sample;
    }
    return length + PointDistance(previous, b.p);
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
