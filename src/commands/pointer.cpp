#include "commands/document_walk.h"
#include "commands/pointer.h"

#include <climits>
#include <cmath>
#include <vector>

#include "commands/path_walk.h"
#include "geometry/geometry.h"
#include "platform/platform.h"
#include "shell/plugin_state.h"
#include "shell/suites.h"

namespace {

constexpr double kPointerQuarterTurn = 1.5707965;

struct PointerRun {
    const double* positions;
    int used;  // how many of the positions count
    double size;
    std::uint16_t mode;
};

bool WalksForward(std::uint16_t mode) { return mode == kBothWays || mode == kForwardOnly; }
bool WalksBackward(std::uint16_t mode) { return mode == kBothWays || mode == kBackwardOnly; }

RealPoint Along(const RealPoint& from, double distance, double angle) {
    return RealPoint{from.h + distance * std::cos(angle), from.v + distance * std::sin(angle)};
}

AnchorRecord CornerAt(const RealPoint& point) {
    AnchorRecord anchor{};
    CopyPointAsFloat(point, anchor.p);
    anchor.in = anchor.p;
    anchor.out = anchor.p;
    anchor.corner = true;
    return anchor;
}

// Where the walk's sum and the sampled position disagree by a rounding at a segment's very end, the
// pointer goes on that end, across the segment's last direction.
void PositionOnSegment(const WalkHit& hit, RealPoint& point, double& angle) {
    if (PointAtDistance(hit.from, hit.to, hit.rem, point, angle)) return;
    point = hit.to.p;
    const RealPoint before = SegmentIsStraight(hit.from, hit.to) ? hit.from.p
                                                                 : BezierPoint(hit.from, hit.to, kBezierSteps - 1);
    angle = PointAngle(before, hit.to.p);
}

// A refused path only loses this pointer; the walk and the run go on.
void MakePointer(const WalkHit& hit, double size) {
    if (sArt == nullptr || sLayer == nullptr) return;
    RealPoint point{};
    double angle = 0;
    PositionOnSegment(hit, point, angle);
    const RealPoint end1 = Along(point, size / 2, angle + kPointerQuarterTurn);
    const RealPoint end2 = Along(point, size / 2, angle - kPointerQuarterTurn);

    LayerHandle layer = nullptr;
    ArtHandle top = nullptr;
    ArtHandle pointer = nullptr;
    if (sLayer->GetCurrentLayer(&layer) != kNoError || sArt->GetFirstArtOfLayer(layer, &top) != kNoError ||
        sArt->NewArt(kPathArt, kPlaceInsideOnTop, top, &pointer) != kNoError || pointer == nullptr) {
        return;
    }
    if (sPathStyle != nullptr) {
        PathStyle style;
        BuildPointerStyle(style);
        sPathStyle->SetPathStyle(pointer, &style);
    }
    if (sPath != nullptr) {
        const AnchorRecord anchors[2] = {CornerAt(end1), CornerAt(end2)};
        sPath->SetPathSegments(pointer, 0, 2, anchors);
    }
}

HostStatus PointersOnPath(ArtHandle path, void* context) {
    const PointerRun& run = *static_cast<const PointerRun*>(context);
    if (!PathIsSelectedForMarking(path)) return kNoError;
    if (sPath == nullptr) return kSuiteNotFoundStatus;
    std::int16_t count = 0;
    if (HostStatus status = sPath->GetPathSegmentCount(path, &count)) return status;
    if (count < 1) return kNoError;
    const std::uint16_t mode = ModeForPath(run.mode, PathIsReversed(path));

    int placed = -1;  // stays -1 without a start anchor, which is no reason to beep
    for (std::int16_t start = 0; start < count; ++start) {
        if (AnchorSelectionForMarking(path, start) != kAnchorPointSelected) continue;
        if (placed < 0) placed = 0;
        for (int k = 0; k < run.used; ++k) {
            const double p = run.positions[k];
            if (p == 0) continue;
            WalkHit hit{};
            if (WalksForward(mode) && WalkForward(path, count, start, p, hit) == WalkEnd::Reached) {
                MakePointer(hit, run.size);
                ++placed;
            }
            if (WalksBackward(mode) && WalkBackward(path, count, start, p, hit) == WalkEnd::Reached) {
                MakePointer(hit, run.size);
                ++placed;
            }
        }
    }
    if (placed == 0) PlatformBeep();
    return kNoError;
}

struct Division {
    ArtHandle path;
    std::int16_t count;        // anchors of the path, growing with each insertion
    std::vector<char> listed;  // per anchor: a start anchor; kept in step with the insertions
};

bool IsListed(const Division& division, int index) { return division.listed[static_cast<std::size_t>(index)] != 0; }

// Splits the hit segment at its position with the host's Bezier division and inserts the new
// anchor between its ends; the indices at and after the insertion, walker's included, move up one.
// False when the host refused, which ends the pass.
bool SplitAt(Division& division, const WalkHit& hit, int& walker) {
    if (sPath == nullptr || sRealBezier == nullptr || division.count == SHRT_MAX) return false;
    const double t = ParamAtDistance(hit.from, hit.to, hit.rem);
    const RealPoint curve[4] = {hit.from.p, hit.from.out, hit.to.in, hit.to.p};
    RealPoint left[4];
    RealPoint right[4];
    sRealBezier->Divide(curve, t, left, right);

    AnchorRecord from = hit.from;
    from.out = left[1];
    // The handles of the split point are collinear: a smooth point.
    const AnchorRecord inserted{left[3], left[2], right[1], false};
    AnchorRecord to = hit.to;
    to.in = right[2];

    if (sPath->SetPathSegments(division.path, hit.fromIndex, 1, &from) != kNoError) return false;
    if (sPath->InsertPathSegments(division.path, static_cast<std::int16_t>(hit.toIndex - 1), 1, &inserted) !=
        kNoError) {
        sPath->SetPathSegments(division.path, hit.fromIndex, 1, &hit.from);  // keep the shape whole
        return false;
    }
    ++division.count;
    division.listed.insert(division.listed.begin() + hit.toIndex, 0);
    if (hit.toIndex <= walker) ++walker;
    return sPath->SetPathSegments(division.path, static_cast<std::int16_t>(hit.toIndex + 1), 1, &to) == kNoError;
}

void ForwardPass(Division& division, double p) {
    for (int i = 0; i < division.count; ++i) {
        if (!IsListed(division, i)) continue;
        WalkHit hit{};
        const WalkEnd end = WalkForward(division.path, division.count, static_cast<std::int16_t>(i), p, hit);
        if (end == WalkEnd::ReadFailed) return;
        if (end == WalkEnd::Reached && !SplitAt(division, hit, i)) return;
    }
}

void BackwardPass(Division& division, double p) {
    for (int i = division.count - 1; i >= 0; --i) {
        if (!IsListed(division, i)) continue;
        WalkHit hit{};
        const WalkEnd end = WalkBackward(division.path, division.count, static_cast<std::int16_t>(i), p, hit);
        if (end == WalkEnd::ReadFailed) return;
        if (end == WalkEnd::Reached && !SplitAt(division, hit, i)) return;
    }
}

HostStatus DivideOnPath(ArtHandle path, void* context) {
    const PointerRun& run = *static_cast<const PointerRun*>(context);
    if (!PathIsSelectedForMarking(path)) return kNoError;
    if (sPath == nullptr) return kSuiteNotFoundStatus;
    Division division{path, 0, {}};
    if (HostStatus status = sPath->GetPathSegmentCount(path, &division.count)) return status;
    if (division.count < 1) return kNoError;
    bool anyListed = false;
    division.listed.assign(static_cast<std::size_t>(division.count), 0);
    for (std::int16_t i = 0; i < division.count; ++i) {
        if (AnchorSelectionForMarking(path, i) != kAnchorPointSelected) continue;
        division.listed[static_cast<std::size_t>(i)] = 1;
        anyListed = true;
    }
    if (!anyListed) return kNoError;
    // Decided on the path as it was: insertions do not change its direction.
    const std::uint16_t mode = ModeForPath(run.mode, PathIsReversed(path));

    for (int k = 0; k < run.used; ++k) {
        const double p = run.positions[k];
        if (p == 0) continue;
        if (WalksForward(mode)) ForwardPass(division, p);
        if (WalksBackward(mode)) BackwardPass(division, p);
    }
    return kNoError;
}

}  // namespace

void BuildPointerStyle(PathStyle& style) {
    style = MarkingStyle(gState->flPtLineWidth);
    if (gState->flPtIsDashLine != 0) {
        const double entries[kMaxDashes] = {gState->flPtDashLengD1, gState->flPtDashLengD2, gState->flPtDashLengD3,
                                            gState->flPtDashLengD4, gState->flPtDashLengD5, gState->flPtDashLengD6};
        for (int k = 0; k < kMaxDashes; ++k) {
            style.stroke.dashes[k] = static_cast<float>(entries[k]);
            if (entries[k] != 0) style.stroke.dashCount = static_cast<std::int16_t>(k + 1);
        }
    }
}

HostStatus CreatePointers(const double positions[kPointerRows], double size, std::uint16_t mode) {
    PointerRun run{positions, PointerRowsInUse(*gState), size, mode};
    return WalkDocumentPaths(PointersOnPath, &run);
}

HostStatus DivideSegments(const double positions[kPointerRows], double size, std::uint16_t mode) {
    PointerRun run{positions, PointerRowsInUse(*gState), size, mode};
    return WalkDocumentPaths(DivideOnPath, &run);
}

void RunPointerCommand() {
    double positions[kPointerRows];
    positions[0] = gState->flPtDistance1;
    positions[1] = positions[0] + gState->flPtDistance2;
    positions[2] = positions[1] + gState->flPtDistance3;
    if (gState->flCreatePointer != 0) CreatePointers(positions, gState->flPtLength, gState->flPointMode);
    if (gState->flDivideSegment != 0) DivideSegments(positions, gState->flPtLength, gState->flPointMode);
}
