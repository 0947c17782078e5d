// Plane geometry shared by the commands and the tools: scalars, points, straight lines, cubic
// segments and picking in view pixels. All in artwork coordinates (points), as the host gives them.
#pragma once

#include <cmath>

#include "host/host_types.h"
#include "shell/plugin_state.h"

// ---- Scalars ----

inline double RealPow(double x, double n) { return n == 2.0 ? x * x : std::pow(x, n); }
inline double RealAbs(double x) { return std::fabs(x); }
inline double RealMax(double a, double b) { return a > b ? a : b; }
inline double RealMin(double a, double b) { return b > a ? a : b; }

// ---- Points ----

// Numbers from a document or a file reach geometry only when finite: an infinity or a NaN would
// spread into every anchor it touches and could never be read back.
inline bool IsFinitePoint(const RealPoint& p) { return std::isfinite(p.h) && std::isfinite(p.v); }
inline bool IsFiniteMatrix(const RealMatrix& m) {
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.tx) && std::isfinite(m.ty);
}

inline void CopyPoint(const RealPoint& from, RealPoint& to) { to = from; }

// Through a volatile float: GCC 12's vectoriser folds a pair of double-to-float-to-double
// conversions into a plain copy from -O2 on, which would keep the full precision.
inline double RoundedToFloat(double value) {
    volatile float rounded = static_cast<float>(value);
    return rounded;
}

// Where a computed point is stored in single precision, each coordinate is rounded to float.
inline void CopyPointAsFloat(const RealPoint& from, RealPoint& to) {
    to.h = RoundedToFloat(from.h);
    to.v = RoundedToFloat(from.v);
}

inline double PointDistance(const RealPoint& a, const RealPoint& b) {
    return std::sqrt(RealPow(a.h - b.h, 2) + RealPow(a.v - b.v, 2));
}

// Radians from -pi to pi.
inline double PointAngle(const RealPoint& from, const RealPoint& to) {
    return std::atan2(to.v - from.v, to.h - from.h);
}

// ---- Straight lines ----

// Crossing of the infinite lines a1-a2 and b1-b2 into out (left alone for parallel lines). With
// segmentsOnly, true only when the crossing lies within both segments' boxes widened by 0.001; out
// is written even then.
bool LineIntersect(const RealPoint& a1, const RealPoint& a2, const RealPoint& b1, const RealPoint& b2, RealPoint& out,
                   bool segmentsOnly);

// Moves point onto segment a-b when its nearest point there is closer than tol.
bool NearestOnLine(RealPoint& point, const RealPoint& a, const RealPoint& b, double tol);

// ---- Cubic segments: P0 = A.p, P1 = A.out, P2 = B.in, P3 = B.p ----

// The point at table step i (0..256), with the terms in this exact order so results are repeatable.
inline RealPoint BezierPoint(const AnchorRecord& a, const AnchorRecord& b, int i) {
    const double* const weightA = gState->bezierA256;
    const double* const weightB = gState->bezierB256;
    const int j = kBezierSteps - i;
    return RealPoint{weightA[i] * a.p.h + weightB[i] * a.out.h + weightB[j] * b.in.h + weightA[j] * b.p.h,
                     weightA[i] * a.p.v + weightB[i] * a.out.v + weightB[j] * b.in.v + weightA[j] * b.p.v};
}

// Both inner handles retracted onto their anchors (exact comparison through the host's math suite).
bool SegmentIsStraight(const AnchorRecord& a, const AnchorRecord& b);

// The centre where the end normals meet, when it is (nearly) equally far from both ends.
bool ArcCentre(const AnchorRecord& a, const AnchorRecord& b, RealPoint& centre, double& radius);

// True when the segment is a circular arc by its handle ratio; gives centre and radius.
bool SegmentIsArc(const AnchorRecord& a, const AnchorRecord& b, RealPoint& centre, double& radius);

// ---- Picking in view pixels ----

// Two view pixels as artwork units at the current view's zoom.
double ViewTolerance();

