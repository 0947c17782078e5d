#include "commands/path_walk.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "commands/segment_length.h"
#include "geometry/geometry.h"
#include "shell/suites.h"

namespace {

constexpr double kHalfTurn = 3.141593;
constexpr double kFullTurn = 6.283186;
constexpr double kArcQuarterTurn = 1.570796;
constexpr int kAreaChords = 128;
constexpr double kNearlyFlatArea = 1.0;

double AreaTerm(const RealPoint& a, const RealPoint& b) { return (a.h * b.v - a.v * b.h) / 2; }

RealPoint CubicPoint(const AnchorRecord& a, const AnchorRecord& b, double t) {
    const double u = 1 - t;
    const double w0 = u * u * u;
    const double w1 = 3 * t * u * u;
    const double w2 = 3 * t * t * u;
    const double w3 = t * t * t;
    return RealPoint{w0 * a.p.h + w1 * a.out.h + w2 * b.in.h + w3 * b.p.h,
                     w0 * a.p.v + w1 * a.out.v + w2 * b.in.v + w3 * b.p.v};
}

double SegmentArea(const AnchorRecord& a, const AnchorRecord& b) {
    if (SegmentIsStraight(a, b)) return AreaTerm(a.p, b.p);
    double area = 0;
    RealPoint previous = a.p;
    for (int j = 1; j < kAreaChords; ++j) {
        const RealPoint next = CubicPoint(a, b, static_cast<double>(j) / kAreaChords);
        area += AreaTerm(previous, next);
        previous = next;
    }
    return area + AreaTerm(previous, b.p);
}

bool ReadClosed(ArtHandle path, bool& closed) {
    std::int32_t flag = 0;
    if (sPath == nullptr || sPath->GetPathClosed(path, &flag) != kNoError) return false;
    closed = flag != 0;
    return true;
}

RealPoint Along(const RealPoint& from, double distance, double angle) {
    return RealPoint{from.h + distance * std::cos(angle), from.v + distance * std::sin(angle)};
}

// Walks from each selected anchor of a path, both ways and to each distance, measure the same few
// segments again and again: the last few lengths are kept, keyed by the segment's four points.
// Walks run on the host's thread only.
double WalkedSegmentLength(const AnchorRecord& a, const AnchorRecord& b) {
    struct Measured {
        RealPoint points[4];
        double length;
    };
    constexpr unsigned kKept = 8;
    static Measured kept[kKept];
    static unsigned filled = 0;
    static unsigned oldest = 0;
    const RealPoint points[4] = {a.p, a.out, b.in, b.p};
    for (unsigned i = 0; i < filled; ++i) {
        if (std::memcmp(kept[i].points, points, sizeof points) == 0) return kept[i].length;
    }
    Measured& slot = filled < kKept ? kept[filled++] : kept[oldest++ % kKept];
    std::memcpy(slot.points, points, sizeof points);
    slot.length = SegmentLength(a, b);
    return slot.length;
}

}  // namespace

bool PathIsSelectedForMarking(ArtHandle path) {
    std::int32_t attributes = 0;
    if (sArt == nullptr || sArt->GetArtUserAttr(path, kArtSelected, &attributes) != kNoError) return false;
    return (attributes & kArtSelected) != 0;
}

std::int16_t AnchorSelectionForMarking(ArtHandle path, std::int16_t index) {
    std::int16_t selection = kAnchorNotSelected;
    if (sPath == nullptr || sPath->GetPathSegmentSelected(path, index, &selection) != kNoError) {
        return kAnchorNotSelected;
    }
    return selection;
}

PathStyle MarkingStyle(double strokeWidth) {
    constexpr double kMiterLimit = 4.0;
    Color black{};
    black.kind = kGrayColor;
    black.gray = 1.0;
    PathStyle style{};
    style.fillPaint = false;
    style.fill.color = black;
    style.strokePaint = true;
    style.stroke.color = black;
    style.stroke.width = strokeWidth;
    style.stroke.miterLimit = kMiterLimit;
    return style;
}

bool ReadAnchor(ArtHandle path, std::int16_t index, AnchorRecord& anchor) {
    return sPath != nullptr && sPath->GetPathSegments(path, index, 1, &anchor) == kNoError;
}

double SignedArea(ArtHandle path) {
    bool closed = false;
    std::int16_t count = 0;
    if (!ReadClosed(path, closed) || !closed) return 0;
    if (sPath->GetPathSegmentCount(path, &count) != kNoError || count < 1) return 0;
    std::vector<AnchorRecord> anchors(static_cast<std::size_t>(count));
    if (sPath->GetPathSegments(path, 0, count, anchors.data()) != kNoError) return 0;

    // The closing segment first, then 0 -> 1 and on.
    double area = 0;
    const AnchorRecord* previous = &anchors.back();
    for (const AnchorRecord& anchor : anchors) {
        area += SegmentArea(*previous, anchor);
        previous = &anchor;
    }
    return area;
}

bool PathIsReversed(ArtHandle path) {
    const double area = SignedArea(path);
    if (RealAbs(area) > kNearlyFlatArea) return area > 0;

    std::int16_t count = 0;
    if (sPath == nullptr || sPath->GetPathSegmentCount(path, &count) != kNoError || count < 1) return false;
    AnchorRecord first{};
    AnchorRecord last{};
    if (!ReadAnchor(path, 0, first) || !ReadAnchor(path, static_cast<std::int16_t>(count - 1), last)) return false;
    return first.p.h > last.p.h || (first.p.h == last.p.h && first.p.v < last.p.v);
}

std::uint16_t ModeForPath(std::uint16_t mode, bool reversed) {
    if (!reversed) return mode;
    if (mode == kForwardOnly) return kBackwardOnly;
    if (mode == kBackwardOnly) return kForwardOnly;
    return mode;
}

WalkEnd WalkForward(ArtHandle path, std::int16_t count, std::int16_t start, double p, WalkHit& hit) {
    bool closed = false;
    AnchorRecord a{};
    if (!ReadClosed(path, closed) || !ReadAnchor(path, start, a)) return WalkEnd::ReadFailed;
    double acc = 0;
    std::int16_t index = start;
    for (std::int16_t step = 0; step < count; ++step) {
        std::int16_t next = static_cast<std::int16_t>(index + 1);
        if (next >= count) {
            if (!closed) return WalkEnd::Unreached;
            next = 0;
        }
        AnchorRecord b{};
        if (!ReadAnchor(path, next, b)) return WalkEnd::ReadFailed;
        const double rem = p - acc;
        acc += WalkedSegmentLength(a, b);
        if (!std::isfinite(acc)) return WalkEnd::Unreached;  // anchors too far apart to measure
        if (acc >= p) {
            hit = WalkHit{index, next, a, b, rem};
            return WalkEnd::Reached;
        }
        a = b;
        index = next;
    }
    return WalkEnd::Unreached;
}

WalkEnd WalkBackward(ArtHandle path, std::int16_t count, std::int16_t start, double p, WalkHit& hit) {
    bool closed = false;
    AnchorRecord a{};
    if (!ReadClosed(path, closed) || !ReadAnchor(path, start, a)) return WalkEnd::ReadFailed;
    double acc = 0;
    std::int16_t index = start;
    for (std::int16_t step = 0; step < count; ++step) {
        std::int16_t prior = static_cast<std::int16_t>(index - 1);
        if (prior < 0) {
            if (!closed) return WalkEnd::Unreached;
            prior = static_cast<std::int16_t>(count - 1);
        }
        AnchorRecord b{};
        if (!ReadAnchor(path, prior, b)) return WalkEnd::ReadFailed;
        acc += WalkedSegmentLength(b, a);
        if (!std::isfinite(acc)) return WalkEnd::Unreached;
        if (acc >= p) {
            hit = WalkHit{prior, index, b, a, acc - p};
            return WalkEnd::Reached;
        }
        a = b;
        index = prior;
    }
    return WalkEnd::Unreached;
}

bool PointAtDistance(const AnchorRecord& a, const AnchorRecord& b, double d, RealPoint& point, double& angle) {
    if (SegmentIsStraight(a, b)) {
        if (d > PointDistance(a.p, b.p)) return false;
        angle = PointAngle(a.p, b.p);
        point = Along(a.p, d, angle);
        return true;
    }

    RealPoint centre{};
    double radius = 0;
    if (SegmentIsArc(a, b, centre, radius)) {
        const double a0 = PointAngle(centre, a.p);
        const double a1 = PointAngle(centre, b.p);
        double sweep = RealAbs(a1 - a0);
        if (sweep > kHalfTurn) sweep = kFullTurn - sweep;
        if (d > radius * sweep) return false;
        // The short way round: counter-clockwise when a1 > a0, unless that way is the long one.
        const bool upward = (a1 > a0) != (RealAbs(a1 - a0) > kHalfTurn);
        const double turned = a0 + (upward ? d / radius : -d / radius);
        point = Along(centre, radius, turned);
        angle = upward ? turned - kArcQuarterTurn : turned + kArcQuarterTurn;
        return true;
    }

    double chords[kBezierSteps];
    SampleChords(a, b, chords);
    double acc = 0;
    for (int j = 1; j <= kBezierSteps; ++j) {
        if (d <= acc + chords[j - 1]) {
            const RealPoint previous = j > 1 ? BezierPoint(a, b, j - 1) : a.p;
            const RealPoint next = j < kBezierSteps ? BezierPoint(a, b, j) : b.p;
            angle = PointAngle(previous, next);
            point = Along(previous, d - acc, angle);
            return true;
        }
        acc += chords[j - 1];
    }
    return false;
}

double ParamAtDistance(const AnchorRecord& a, const AnchorRecord& b, double d) {
    double chords[kBezierSteps];
    SampleChords(a, b, chords);
    double acc = 0;
    for (int j = 1; j <= kBezierSteps; ++j) {
        const double chord = chords[j - 1];
        if (d <= acc + chord) {
            // A chord of no length (a cusp) puts the parameter at its start rather than dividing by 0.
            const double within = chord > 0 ? (d - acc) / chord : 0.0;
            return (j - 1) / static_cast<double>(kBezierSteps) + within / kBezierSteps;
        }
        acc += chord;
    }
    return 0;
}
