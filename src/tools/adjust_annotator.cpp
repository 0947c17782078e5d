#include "tools/adjust_annotator.h"

#include "shell/plugin_state.h"
#include "shell/suites.h"
#include "tools/alignment.h"
#include "tools/tool_support.h"

namespace {

// A blue-green of 16-bit channels 0, 0xC000, 0xC000, given to the drawer in 0..1.
constexpr UIColor kGuideColor{1.0, 0.0, 0xC000 / 65535.0, 0xC000 / 65535.0};
constexpr double kGuideWidth = 1.0;
constexpr std::int16_t kAnchorSlice = 32;

struct Canvas {
    AnnotatorDrawerHandle drawer;
    DocumentViewHandle view;
};

void SetGuidePen(const Canvas& canvas) {
    sAnnotatorDrawer->SetColor(canvas.drawer, &kGuideColor);
    sAnnotatorDrawer->SetLineWidth(canvas.drawer, kGuideWidth);
}

void Line(const Canvas& canvas, const RealPoint& from, const RealPoint& to) {
    ViewPoint start{}, end{};
    if (ToViewPoint(canvas.view, from, start) && ToViewPoint(canvas.view, to, end)) {
        sAnnotatorDrawer->DrawLine(canvas.drawer, &start, &end);
    }
}

// One cubic from record a to record b, moved by matrix.
void Bezier(const Canvas& canvas, const AnchorRecord& a, const AnchorRecord& b, const RealMatrix& matrix) {
    const RealPoint points[4] = {a.p, a.out, b.in, b.p};
    ViewPoint view[4];
    for (int k = 0; k < 4; ++k) {
        RealPoint moved{};
        sRealMath->MatrixXformPoint(&matrix, &points[k], &moved);
        if (!ToViewPoint(canvas.view, moved, view[k])) return;
    }
    sAnnotatorDrawer->DrawBeziers(canvas.drawer, &view[0], &view[1], 1, 0);
}

void DrawPath(const Canvas& canvas, ArtHandle path, const RealMatrix& matrix) {
    std::int32_t guide = 0;
    if (sPath->GetPathIsGuide(path, &guide) != kNoError || guide != 0) return;
    std::int16_t count = 0;
    std::int32_t closed = 0;
    if (sPath->GetPathSegmentCount(path, &count) != kNoError || count < 1) return;
    if (sPath->GetPathClosed(path, &closed) != kNoError) closed = 0;
    AnchorRecord first{}, previous{}, current{};
    AnchorRecord slice[kAnchorSlice];
    for (std::int16_t start = 0; start < count; start = static_cast<std::int16_t>(start + kAnchorSlice)) {
        const auto size = static_cast<std::int16_t>(count - start < kAnchorSlice ? count - start : kAnchorSlice);
        if (sPath->GetPathSegments(path, start, size, slice) != kNoError) return;
        for (std::int16_t k = 0; k < size; ++k) {
            current = slice[k];
            if (start + k == 0) {
                first = current;
            } else {
                Bezier(canvas, previous, current, matrix);
            }
            previous = current;
        }
    }
    if (closed != 0) Bezier(canvas, previous, first, matrix);  // one anchor closed: a loop on itself
}

// Art without anchors of its own (text, placed art): its bounds, moved.
void DrawBounds(const Canvas& canvas, ArtHandle art, const RealMatrix& matrix) {
    RealRect bounds{};
    if (sArt->GetArtBounds(art, &bounds) != kNoError) return;
    const RealPoint corners[4] = {{bounds.left, bounds.top}, {bounds.right, bounds.top},
                                  {bounds.right, bounds.bottom}, {bounds.left, bounds.bottom}};
    RealPoint moved[4];
    for (int k = 0; k < 4; ++k) sRealMath->MatrixXformPoint(&matrix, &corners[k], &moved[k]);
    for (int k = 0; k < 4; ++k) Line(canvas, moved[k], moved[(k + 1) % 4]);
}

void DrawArt(const Canvas& canvas, ArtHandle art, const RealMatrix& matrix) {
    std::int16_t type = kUnknownArt;
    if (sArt->GetArtType(art, &type) != kNoError) return;
    if (type == kGroupArt || type == kCompoundPathArt) {
        ArtHandle child = nullptr;
        if (sArt->GetArtFirstChild(art, &child) != kNoError) return;
        while (child != nullptr) {
            DrawArt(canvas, child, matrix);
            if (sArt->GetArtSibling(child, &child) != kNoError) return;
        }
    } else if (type == kPathArt) {
        DrawPath(canvas, art, matrix);
    } else {
        DrawBounds(canvas, art, matrix);
    }
}

bool CanDraw() {
    return sAnnotatorDrawer != nullptr && sArt != nullptr && sPath != nullptr && sRealMath != nullptr &&
           sDocumentView != nullptr;
}

}  // namespace

HostStatus RegisterAdjustAnnotator(PluginRef self) {
    if (sAnnotator == nullptr) return kSuiteNotFoundStatus;
    const HostStatus status = sAnnotator->AddAnnotator(self, kAnnotatorName, &gState->annotator);
    if (status != kNoError) return status;
    return sAnnotator->SetAnnotatorActive(gState->annotator, 0);
}

void SetAdjustAnnotatorActive(bool active) {
    if (sAnnotator != nullptr) sAnnotator->SetAnnotatorActive(gState->annotator, active ? 1 : 0);
}

bool UpdateAnnotationRect() {
    const DocumentViewHandle view = CurrentDocumentView();
    RealRect bounds{};
    if (view == nullptr || sDocumentView->GetDocumentViewBounds(view, &bounds) != kNoError) return false;
    ViewPoint topLeft{}, bottomRight{};
    if (!ToViewPoint(view, RealPoint{bounds.left, bounds.top}, topLeft) ||
        !ToViewPoint(view, RealPoint{bounds.right, bounds.bottom}, bottomRight)) {
        return false;
    }
    std::int32_t* rect = gState->annotationRect;
    rect[0] = topLeft.h;
    rect[1] = topLeft.v;
    rect[2] = bottomRight.h;
    rect[3] = bottomRight.v;
    return true;
}

HostStatus InvalidateAnnotationRect() {
    const DocumentViewHandle view = CurrentDocumentView();
    if (view == nullptr || sAnnotator == nullptr) return kNoError;
    const std::int32_t* rect = gState->annotationRect;
    const ViewRect viewRect{rect[0], rect[1], rect[2], rect[3]};
    return sAnnotator->InvalAnnotationRect(view, &viewRect);
}

HostStatus OnAnnotatorDraw(void* message) {
    if (gState == nullptr) return kNoError;
    const AnnotatorDrawerHandle drawer = static_cast<AnnotatorMessage*>(message)->drawer;
    for (std::int32_t& side : gState->annotationRect) side = 0;
    if (CurrentDocumentView() == nullptr) return kNoError;
    if (sAnnotatorDrawer != nullptr) sAnnotatorDrawer->SetHighlightMode(drawer, 1, 0);
    ToolHandle selected = nullptr;
    if (sTool != nullptr && sTool->GetSelectedTool(&selected) == kNoError && selected != nullptr &&
        (selected == gState->pathAdjustTool || selected == gState->pointAdjustTool)) {
        DrawAdjustAnnotation(drawer);
    }
    UpdateAnnotationRect();
    return kNoError;
}

HostStatus OnAnnotatorInvalidate(void* /*message*/) {
    if (gState == nullptr) return kNoError;
    return InvalidateAnnotationRect();
}

void DrawAdjustAnnotation(AnnotatorDrawerHandle drawer) {
    if (!CanDraw()) return;
    const Canvas canvas{drawer, CurrentDocumentView()};
    if (canvas.view == nullptr) return;
    const RealPoint* p = gState->adjustPoints;
    const RealPoint& cursor = gState->snapCursor;
    switch (gState->adjustPhase) {
        case 1:
            if (!SamePoint(p[0], cursor)) {
                SetGuidePen(canvas);
                Line(canvas, p[0], cursor);
            }
            break;
        case 3:
            // The first drag's line stays while the second is made.
            SetGuidePen(canvas);
            if (!SamePoint(p[0], p[1])) Line(canvas, p[0], p[1]);
            if (!SamePoint(p[2], cursor)) Line(canvas, p[2], cursor);
            break;
        case 4: {
            RealMatrix matrix{};
            if (ComputeAlignMatrix(1, matrix, cursor)) {
                SetGuidePen(canvas);
                DrawTransformedPreview(drawer, gState->adjustHits[1].art, matrix);
            }
            break;
        }
        default:
            break;  // idle, or between the two drags
    }
}

void DrawTransformedPreview(AnnotatorDrawerHandle drawer, ArtHandle art, const RealMatrix& matrix) {
    if (!CanDraw() || art == nullptr) return;
    const ArtHandle target = TopLevelObject(art);
    if (!ArtIsSelected(target)) {
        DrawTransformedArt(drawer, target, matrix);
        return;
    }
    // The same objects as the apply step moves: every selected top-level object.
    ForEachTopLevelObject([drawer, &matrix](ArtHandle object) {
        if (ArtIsSelected(object)) DrawTransformedArt(drawer, object, matrix);
        return true;
    });
}

void DrawTransformedArt(AnnotatorDrawerHandle drawer, ArtHandle art, const RealMatrix& matrix) {
    if (!CanDraw()) return;
    const Canvas canvas{drawer, CurrentDocumentView()};
    if (canvas.view != nullptr) DrawArt(canvas, art, matrix);
}
