#include "geometry/geometry.h"

namespace {

constexpr double kLineEpsilon = 0.001;

struct SlopeForm {
    bool steep;
    double slope;   // 0 for a steep line
    double offset;  // 0 for a steep line
};

SlopeForm SlopeOf(const RealPoint& p1, const RealPoint& p2) {
    if (RealAbs(p1.h - p2.h) <= kLineEpsilon) return {true, 0.0, 0.0};
    const double slope = (p2.v - p1.v) / (p2.h - p1.h);
    return {false, slope, p1.v - slope * p1.h};
}

bool WithinWidened(double value, double end1, double end2) {
    return value >= RealMin(end1, end2) - kLineEpsilon && value <= RealMax(end1, end2) + kLineEpsilon;
}

}  // namespace

bool LineIntersect(const RealPoint& a1, const RealPoint& a2, const RealPoint& b1, const RealPoint& b2, RealPoint& out,
                   bool segmentsOnly) {
    const SlopeForm a = SlopeOf(a1, a2);
    const SlopeForm b = SlopeOf(b1, b2);
    if (a.steep && !b.steep) {
        out = RealPoint{a1.h, a1.h * b.slope + b.offset};
    } else if (b.steep && !a.steep) {
        out = RealPoint{b1.h, b1.h * a.slope + a.offset};
    } else {
        // Two steep lines, or slopes within the epsilon however far apart, count as parallel.
        if (RealAbs(a.slope - b.slope) <= kLineEpsilon) return false;
        out.h = (a.offset - b.offset) / (b.slope - a.slope);
        out.v = out.h * a.slope + a.offset;
    }
    if (!segmentsOnly) return true;
    return WithinWidened(out.h, a1.h, a2.h) && WithinWidened(out.v, a1.v, a2.v) && WithinWidened(out.h, b1.h, b2.h) &&
           WithinWidened(out.v, b1.v, b2.v);
}

bool NearestOnLine(RealPoint& point, const RealPoint& a, const RealPoint& b, double tol) {
    const RealPoint q = point;
    if (q.h < RealMin(a.h, b.h) - tol || q.h > RealMax(a.h, b.h) + tol || q.v < RealMin(a.v, b.v) - tol ||
        q.v > RealMax(a.v, b.v) + tol) {
        return false;
    }
    if (a.h == b.h && a.v == b.v) {
        point = a;
        return true;
    }
    RealPoint foot;
    if (a.h == b.h) {
        foot = RealPoint{a.h, q.v};
    } else if (a.v == b.v) {
        foot = RealPoint{q.h, a.v};
    } else {
        const double m = (b.v - a.v) / (b.h - a.h);
        const double c = a.v - m * a.h;
        const double n = (a.h - b.h) / (b.v - a.v);  // slope of the perpendicular
        const double c2 = q.v - n * q.h;
        foot.h = (c - c2) / (n - m);
        foot.v = foot.h * m + c;
    }
    foot.h = RealMin(RealMax(foot.h, RealMin(a.h, b.h)), RealMax(a.h, b.h));
    foot.v = RealMin(RealMax(foot.v, RealMin(a.v, b.v)), RealMax(a.v, b.v));
    if (PointDistance(foot, q) >= tol) return false;
    point = foot;
    return true;
}
