#include "tools/alignment.h"

#include "geometry/geometry.h"
#include "tools/path_adjust_record.h"
#include "tools/tool_support.h"

namespace {

constexpr double kHalfTurn = 3.141593;  // the literal, not pi to full precision
constexpr std::int32_t kTransformOptions = 0x6F;

RealPoint& P(int k) { return gState->adjustPoints[k]; }
const AnchorHit& H(int k) { return gState->adjustHits[k]; }

// The path whose anchors a hit indexes: the art itself, or the path of area and path text. Point
// text has no path: its one anchor is read separately.
bool ReadAnchor(ArtHandle path, std::int16_t index, AnchorRecord& record) {
    return sPath->GetPathSegments(path, index, 1, &record) == kNoError;
}

double Distance(const RealPoint& a, const RealPoint& b) {
    return sRealMath != nullptr ? sRealMath->PointLength(&a, &b) : PointDistance(a, b);
}

// The centre of the box around rect's four corners moved by matrix.
RealPoint MovedCentre(const RealRect& rect, const RealMatrix& matrix) {
    const RealPoint corners[4] = {{rect.left, rect.top}, {rect.right, rect.top}, {rect.right, rect.bottom},
                                  {rect.left, rect.bottom}};
    RealPoint lowest{}, highest{};
    for (int k = 0; k < 4; ++k) {
        RealPoint moved{};
        sRealMath->MatrixXformPoint(&matrix, &corners[k], &moved);
        if (k == 0) {
            lowest = highest = moved;
            continue;
        }
        lowest = RealPoint{RealMin(lowest.h, moved.h), RealMin(lowest.v, moved.v)};
        highest = RealPoint{RealMax(highest.h, moved.h), RealMax(highest.v, moved.v)};
    }
    return RealPoint{(lowest.h + highest.h) / 2, (lowest.v + highest.v) / 2};
}

bool DifferentObjects(const AnchorHit& a, const AnchorHit& b) {
    return a.art != nullptr && b.art != nullptr && TopLevelObject(a.art) != TopLevelObject(b.art);
}

// Mode 1: A = P1 on the fixed object, B = P2 on the moving one.
bool OneDragMatrix(RealMatrix& matrix, const RealPoint& cursor) {
    if (!DifferentObjects(H(0), H(1))) return false;
    DirectionSet fixed{}, moving{};
    if (!DirectionPoints(H(0), fixed) || !DirectionPoints(H(1), moving)) return false;

    // Pair the sides: the closest pair of direction points tells which side of the moving anchor
    // goes where.
    struct Pair {
        bool exists;
        const RealPoint& a;
        const RealPoint& b;
        bool cross;
    };
    const Pair pairs[4] = {
        {fixed.hasIn && moving.hasIn, fixed.inPoint, moving.inPoint, false},
        {fixed.hasIn && moving.hasOut, fixed.inPoint, moving.outPoint, true},
        {fixed.hasOut && moving.hasIn, fixed.outPoint, moving.inPoint, true},
        {fixed.hasOut && moving.hasOut, fixed.outPoint, moving.outPoint, false},
    };
    double best = -1;
    bool cross = false;
    for (const Pair& pair : pairs) {
        if (!pair.exists) continue;
        const double distance = Distance(pair.a, pair.b);
        if (best < 0 || distance < best) {
            best = distance;
            cross = pair.cross;
        }
    }
    const RealPoint movingDirection = cross ? moving.inPoint : moving.outPoint;

    const RealPoint& a = P(0);
    const RealPoint& b = P(1);
    const RealPoint& s1 = fixed.anchor;
    const double r = Distance(s1, cursor);
    const double inAngle = sRealMath->PointAngle(&s1, &fixed.inPoint);
    const double outAngle = sRealMath->PointAngle(&s1, &fixed.outPoint);
    const double angles[4] = {inAngle, inAngle + kHalfTurn, outAngle, outAngle + kHalfTurn};

    RealRect bounds{};
    if (sArt->GetArtBounds(H(1).art, &bounds) != kNoError) return false;
    const double movingAngle = PointAngle(b, movingDirection);
    bool found = false;
    double nearest = 0;
    for (double angle : angles) {
        RealPoint offset{};
        sRealMath->PointLengthAngle(r, angle, &offset);
        const RealPoint candidate{s1.h + offset.h, s1.v + offset.v};
        RealMatrix m{};
        if (!RigidMotion(b, a, PointAngle(a, candidate) - movingAngle, m)) return false;
        const double distance = Distance(MovedCentre(bounds, m), cursor);
        if (!found || distance < nearest) {  // the first wins a tie
            found = true;
            nearest = distance;
            matrix = m;
        }
    }
    return found;
}

// Of the direction points that exist, the one nearer to toward (the first on a tie); false for none.
bool NearerDirection(const DirectionSet& set, const RealPoint& toward, RealPoint& chosen) {
    if (set.hasIn && set.hasOut) {
        chosen = Distance(set.outPoint, toward) < Distance(set.inPoint, toward) ? set.outPoint : set.inPoint;
    } else if (set.hasIn || set.hasOut) {
        chosen = set.hasIn ? set.inPoint : set.outPoint;
    } else {
        return false;
    }
    return true;
}

// Mode 2: A = P1, B = P3; the directions towards P2 on the fixed anchor and P4 on the moving one.
// An anchor without any direction point gives the turn nothing to go by: refused.
bool TwoDragMatrix(RealMatrix& matrix) {
    if (!DifferentObjects(H(0), H(2))) return false;
    DirectionSet fixed{}, moving{};
    if (!DirectionPoints(H(0), fixed) || !DirectionPoints(H(2), moving)) return false;
    RealPoint c{}, d{};
    if (!NearerDirection(fixed, P(1), c) || !NearerDirection(moving, P(3), d)) return false;
    return RigidMotion(P(2), P(0), PointAngle(P(0), c) - PointAngle(P(2), d), matrix);
}

void TransformOne(ArtHandle object, const RealMatrix& matrix) {
    // An object whose reference cannot be measured is not moved: its record would not take it back.
    const AdjustReference reference = MeasureReference(object);
    if (!reference.complete) return;
    if (sTransformArt->TransformArt(object, &matrix, 1.0, kTransformOptions) != kNoError) return;
    WriteAdjustRecord(object, matrix, reference);
}

// Moving needs every suite that measures, moves and records an object; without one the apply step
// refuses rather than move objects it cannot record.
bool CanApply() {
    return sArt != nullptr && sPath != nullptr && sRealMath != nullptr && sTransformArt != nullptr && sTag != nullptr;
}

}  // namespace

ArtHandle TopLevelObject(ArtHandle art) {
    if (sArt == nullptr || art == nullptr) return art;
    LayerHandle layer = nullptr;
    ArtHandle root = nullptr;
    if (sArt->GetLayerOfArt(art, &layer) != kNoError || sArt->GetFirstArtOfLayer(layer, &root) != kNoError) {
        return art;
    }
    ArtHandle reached = art;
    ArtHandle parent = nullptr;
    while (sArt->GetArtParent(reached, &parent) == kNoError && parent != nullptr && parent != root) reached = parent;
    return reached;
}

bool DirectionPoints(const AnchorHit& hit, DirectionSet& directions) {
    if (sArt == nullptr || sPath == nullptr || hit.art == nullptr) return false;
    ArtHandle path = hit.art;
    std::int16_t type = kUnknownArt;
    if (sArt->GetArtType(path, &type) != kNoError) return false;
    if (type == kTextFrameArt) {
        std::int16_t kind = kPointText;
        if (sArt->GetTextFrameKind(path, &kind) != kNoError) return false;
        if (kind == kPointText) {
            // One anchor and no directions.
            if (sArt->GetPointTextAnchor(path, &directions.anchor) != kNoError) return false;
            directions.inPoint = directions.outPoint = directions.anchor;
            directions.hasIn = directions.hasOut = false;
            return true;
        }
        if (sArt->GetTextFramePath(path, &path) != kNoError) return false;
    }
    std::int16_t count = 0;
    const auto i = static_cast<std::int16_t>(hit.anchorIndex);
    if (sPath->GetPathSegmentCount(path, &count) != kNoError || i < 0 || i >= count) return false;
    AnchorRecord record{};
    if (!ReadAnchor(path, i, record)) return false;
    directions.anchor = record.p;
    directions.inPoint = record.in;
    directions.outPoint = record.out;
    // A neighbour that cannot be read fails the whole: a missing direction would turn the move.
    AnchorRecord neighbour{};
    if (SamePoint(directions.inPoint, directions.anchor)) {
        if (!ReadAnchor(path, static_cast<std::int16_t>(i == 0 ? count - 1 : i - 1), neighbour)) return false;
        directions.inPoint = neighbour.p;
    }
    if (SamePoint(directions.outPoint, directions.anchor)) {
        if (!ReadAnchor(path, static_cast<std::int16_t>(i == count - 1 ? 0 : i + 1), neighbour)) return false;
        directions.outPoint = neighbour.p;
    }
    directions.hasIn = !SamePoint(directions.inPoint, directions.anchor);
    directions.hasOut = !SamePoint(directions.outPoint, directions.anchor);
    return true;
}

bool RigidMotion(const RealPoint& from, const RealPoint& to, double angle, RealMatrix& matrix) {
    if (sRealMath == nullptr) return false;
    sRealMath->MatrixSetTranslate(&matrix, -from.h, -from.v);
    sRealMath->MatrixConcatRotate(&matrix, angle);
    sRealMath->MatrixConcatTranslate(&matrix, to.h, to.v);
    // Far-out anchors or a hostile record can overflow the motion; such a move is never made.
    return IsFiniteMatrix(matrix);
}

bool ComputeAlignMatrix(int mode, RealMatrix& matrix, const RealPoint& cursor) {
    if (sArt == nullptr || sPath == nullptr || sRealMath == nullptr) return false;
    if (mode == 1) return OneDragMatrix(matrix, cursor);
    if (mode == 2) return TwoDragMatrix(matrix);
    return false;
}

bool ApplyPathAdjust() {
    if (!CanApply()) return false;
    for (int k = 0; k < 4; ++k) {
        if (H(k).art == nullptr) return false;
    }
    if (TopLevelObject(H(0).art) != TopLevelObject(H(1).art)) return false;
    const ArtHandle moving = TopLevelObject(H(2).art);
    if (moving != TopLevelObject(H(3).art)) return false;
    RealMatrix matrix{};
    if (!RigidMotion(P(2), P(0), PointAngle(P(0), P(1)) - PointAngle(P(2), P(3)), matrix)) return false;
    TransformTargets(moving, matrix);
    return true;
}

bool ApplyPointAdjust(int mode) {
    if (!CanApply()) return false;
    RealMatrix matrix{};
    if (!ComputeAlignMatrix(mode, matrix, gState->snapCursor)) return false;
    TransformTargets(TopLevelObject(H(mode == 1 ? 1 : 2).art), matrix);
    return true;
}

void TransformTargets(ArtHandle target, const RealMatrix& matrix) {
    if (sTransformArt == nullptr || target == nullptr) return;
    if (!ArtIsSelected(target)) {
        TransformOne(target, matrix);
        return;
    }
    // The target is part of the selection: everything selected at the top level moves with it.
    ForEachTopLevelObject([&matrix](ArtHandle object) {
        if (ArtIsSelected(object)) TransformOne(object, matrix);
        return true;
    });
}
