#include "geometry/geometry.h"
#include "shell/suites.h"

namespace {

// The literal turn constants of the arc test, deliberately not full-precision pi.
constexpr double kQuarterTurn = 1.5707965;
constexpr double kHalfTurn = 3.141593;
constexpr double kFullTurn = 6.283186;
constexpr double kArcHandleRatioBase = 0.552277;
constexpr double kArcRatioAgreement = 0.0001;

}  // namespace

bool SegmentIsStraight(const AnchorRecord& a, const AnchorRecord& b) {
    if (sRealMath == nullptr) return false;
    return sRealMath->PointEqual(&a.out, &a.p) && sRealMath->PointEqual(&b.in, &b.p);
}

bool ArcCentre(const AnchorRecord& a, const AnchorRecord& b, RealPoint& centre, double& radius) {
    const RealPoint& p0 = a.p;
    const RealPoint& p1 = a.out;
    const RealPoint& p2 = b.in;
    const RealPoint& p3 = b.p;
    const bool startNormalVertical = p0.v == p1.v;
    const bool endNormalVertical = p2.v == p3.v;
    if (startNormalVertical && endNormalVertical) return false;

    double k1 = 0, c1 = 0, k2 = 0, c2 = 0;
    if (!startNormalVertical) {
        k1 = -(p1.h - p0.h) / (p1.v - p0.v);
        c1 = p0.v - k1 * p0.h;
    }
    if (!endNormalVertical) {
        k2 = -(p3.h - p2.h) / (p3.v - p2.v);
        c2 = p3.v - k2 * p3.h;
    }
    if (!startNormalVertical && !endNormalVertical && k1 == k2) return false;  // parallel end tangents

    RealPoint c;
    if (!startNormalVertical) {
        c.h = endNormalVertical ? p3.h : (c1 - c2) / (k2 - k1);
        c.v = k1 * c.h + c1;
    } else {
        c.h = p0.h;
        c.v = k2 * c.h + c2;
    }
    const double r1 = PointDistance(c, p0);
    const double r2 = PointDistance(c, p3);
    const double agreement = r1 > 100.0 ? r1 / 10000.0 : 0.01;
    if (RealAbs(r1 - r2) > agreement) return false;
    centre = c;
    radius = (r1 + r2) / 2.0;
    return true;
}

bool SegmentIsArc(const AnchorRecord& a, const AnchorRecord& b, RealPoint& centre, double& radius) {
    const RealPoint& p0 = a.p;
    const RealPoint& p1 = a.out;
    const RealPoint& p2 = b.in;
    const RealPoint& p3 = b.p;
    const bool startTangentVertical = p0.h == p1.h;
    const bool endTangentVertical = p2.h == p3.h;
    if (startTangentVertical && endTangentVertical) return false;
    if (!ArcCentre(a, b, centre, radius)) return false;

    // Where the two end tangents cross.
    double s1 = 0, c1 = 0, s2 = 0, c2 = 0;
    if (!startTangentVertical) {
        s1 = (p1.v - p0.v) / (p1.h - p0.h);
        c1 = p0.v - s1 * p0.h;
    }
    if (!endTangentVertical) {
        s2 = (p3.v - p2.v) / (p3.h - p2.h);
        c2 = p2.v - s2 * p2.h;
    }
    RealPoint t;
    if (!startTangentVertical) {
        t.h = endTangentVertical ? p2.h : (c1 - c2) / (s2 - s1);
        t.v = t.h * s1 + c1;
    } else {
        t.h = p0.h;
        t.v = t.h * s2 + c2;
    }
    const double ratio1 = PointDistance(p1, p0) / PointDistance(t, p0);
    const double ratio2 = PointDistance(p2, p3) / PointDistance(t, p3);

    double theta0 = PointAngle(centre, p0);
    double theta3 = PointAngle(centre, p3);
    if (RealAbs(theta3 - theta0) > kHalfTurn) {
        if (theta3 < 0) {
            theta3 += kFullTurn;
        } else {
            theta0 += kFullTurn;
        }
    }
    const double sweep = RealAbs(theta3 - theta0);
    const double expected = kArcHandleRatioBase + std::sin(kQuarterTurn - sweep) / 8.0;
    return RealAbs(ratio1 - expected) < kArcRatioAgreement && RealAbs(ratio2 - expected) < kArcRatioAgreement;
}
