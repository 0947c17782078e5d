#include "commands/document_walk.h"
#include "commands/handle_line.h"

#include <cmath>

#include "commands/path_walk.h"
#include "shell/plugin_state.h"
#include "shell/suites.h"

namespace {

constexpr double kHalfTurn = 3.141593;

// Custom first, so that a spot colour wins over a process colour of the same name.
constexpr ColorKind kSwatchKinds[] = {kCustomColor, kFourColor, kThreeColor};

bool SamePoint(const RealPoint& a, const RealPoint& b) {
    if (sRealMath != nullptr) return sRealMath->PointEqual(&a, &b) != 0;
    return a.h == b.h && a.v == b.v;
}

bool Retracted(const RealPoint& handle, const RealPoint& anchor) { return SamePoint(handle, anchor); }

// The handle turned half round its anchor, at its own length.
RealPoint Mirror(const RealPoint& handle, const RealPoint& anchor) {
    double length = 0;
    double angle = 0;
    RealPoint offset{};
    if (sRealMath != nullptr) {
        length = sRealMath->PointLength(&anchor, &handle);
        angle = sRealMath->PointAngle(&anchor, &handle) + kHalfTurn;
        sRealMath->PointLengthAngle(length, angle, &offset);
    } else {
        length = std::hypot(handle.h - anchor.h, handle.v - anchor.v);
        angle = std::atan2(handle.v - anchor.v, handle.h - anchor.h) + kHalfTurn;
        offset = RealPoint{length * std::cos(angle), length * std::sin(angle)};
    }
    return RealPoint{anchor.h + offset.h, anchor.v + offset.v};
}

// The colour of the named swatch, looked for in each colour kind in turn; false when there is none.
bool SwatchColor(const char* name, Color& color) {
    if (sSwatchList == nullptr) return false;
    SwatchListHandle list = nullptr;
    if (sSwatchList->GetDocumentSwatchList(&list) != kNoError) return false;
    for (ColorKind kind : kSwatchKinds) {
        SwatchHandle swatch = nullptr;
        if (sSwatchList->GetSwatchByNameAndType(list, name, kind, &swatch) == kNoError && swatch != nullptr &&
            sSwatchList->GetSwatchColor(swatch, &color) == kNoError) {
            return true;
        }
    }
    return false;
}

void BuildHandleLineStyle(PathStyle& style) {
    style = MarkingStyle(gState->handleline_line_width);
    if (gState->handleline_line_color[0] != '\0') {
        Color swatch{};
        if (SwatchColor(gState->handleline_line_color, swatch)) style.stroke.color = swatch;
    }
}

// The art inside which the lines go: the first art of the titled layer, made below the current
// layer when the document has none of that title, or of the current layer when no title is set.
HostStatus FindTarget(ArtHandle& target) {
    target = nullptr;
    if (sLayer == nullptr || sArt == nullptr) return kSuiteNotFoundStatus;
    const char* title = gState->handleline_layer;
    LayerHandle layer = nullptr;
    if (title[0] == '\0') {
        if (HostStatus status = sLayer->GetCurrentLayer(&layer)) return status;
    } else {
        const HostStatus found = sLayer->GetLayerByTitle(title, &layer);
        if (found != kNoError && found != kNotFoundStatus) return found;
        if (found != kNoError || layer == nullptr) {
            LayerHandle current = nullptr;
            if (HostStatus status = sLayer->GetCurrentLayer(&current)) return status;
            if (HostStatus status = sLayer->InsertLayer(current, kPlaceBelow, &layer)) return status;
            // An untitled layer would not be found again and a second one would follow: stop instead.
            if (HostStatus status = sLayer->SetLayerTitle(layer, title)) return status;
        }
    }
    return sArt->GetFirstArtOfLayer(layer, &target);
}

// One open path through the points, each a corner without handles. A refused path is skipped.
void MakeLine(ArtHandle target, const PathStyle& style, const RealPoint* points, std::int16_t count) {
    ArtHandle line = nullptr;
    if (sArt == nullptr || sArt->NewArt(kPathArt, kPlaceInsideOnTop, target, &line) != kNoError || line == nullptr) {
        return;
    }
    if (sPathStyle != nullptr) sPathStyle->SetPathStyle(line, &style);
    AnchorRecord anchors[3]{};
    for (std::int16_t k = 0; k < count; ++k) anchors[k] = AnchorRecord{points[k], points[k], points[k], true};
    if (sPath != nullptr) sPath->SetPathSegments(line, 0, count, anchors);
}

void DrawHandle(ArtHandle target, const PathStyle& style, const AnchorRecord& anchor, const RealPoint& handle) {
    const RealPoint line[2] = {anchor.p, handle};
    MakeLine(target, style, line, 2);
    if (gState->handleline_reverse_side != 0) {
        const RealPoint mirrored[2] = {anchor.p, Mirror(handle, anchor.p)};
        MakeLine(target, style, mirrored, 2);
    }
}

HostStatus DrawAnchorHandles(const AnchorRecord& anchor) {
    PathStyle style;
    BuildHandleLineStyle(style);
    ArtHandle target = nullptr;
    if (HostStatus status = FindTarget(target)) return status;

    const bool inDrawn = !Retracted(anchor.in, anchor.p);
    const bool outDrawn = !Retracted(anchor.out, anchor.p);
    if (gState->handleline_polyline != 0 && inDrawn && outDrawn) {
        const RealPoint polyline[3] = {anchor.in, anchor.p, anchor.out};
        MakeLine(target, style, polyline, 3);
        if (gState->handleline_reverse_side != 0) {
            const RealPoint mirrored[3] = {Mirror(anchor.in, anchor.p), anchor.p, Mirror(anchor.out, anchor.p)};
            MakeLine(target, style, mirrored, 3);
        }
        return kNoError;
    }
    if (inDrawn) DrawHandle(target, style, anchor, anchor.in);
    if (outDrawn) DrawHandle(target, style, anchor, anchor.out);
    return kNoError;
}

HostStatus HandleLinesOfPath(ArtHandle path, void* /*context*/) {
    if (!PathIsSelectedForMarking(path)) return kNoError;
    if (sPath == nullptr) return kSuiteNotFoundStatus;
    std::int16_t count = 0;
    if (HostStatus status = sPath->GetPathSegmentCount(path, &count)) return status;
    for (std::int16_t i = 0; i < count; ++i) {
        if (AnchorSelectionForMarking(path, i) != kAnchorPointSelected) continue;
        AnchorRecord anchor{};
        if (!ReadAnchor(path, i, anchor)) continue;
        if (HostStatus status = DrawAnchorHandles(anchor)) return status;
    }
    return kNoError;
}

}  // namespace

HostStatus DrawHandleLines() { return WalkDocumentPaths(HandleLinesOfPath, nullptr); }
