// Annotators and the drawer of "AI Draw" messages: the host records what is asked of them.
#include <algorithm>

#include "document.h"
#include "suite_support.h"

namespace sim {

namespace {

constexpr const char* kAnnotator = "AI Annotator Suite";
constexpr const char* kDrawer = "AI Annotator Drawer Suite";

HostStatus AddAnnotator(PluginRef plugin, const char* name, AnnotatorHandle* annotator) {
    if (HostStatus gated = Gate(kAnnotator, "AddAnnotator")) return gated;
    if (annotator != nullptr) *annotator = nullptr;
    if (plugin != CurrentHost().Self() || name == nullptr || annotator == nullptr) return kBadParameterStatus;
    AppState& app = CurrentHost().App();
    app.annotators.push_back(std::make_unique<Annotator>(Annotator{plugin, name, true}));
    *annotator = HandleOf(app.annotators.back().get());
    return kNoError;
}

HostStatus SetAnnotatorActive(AnnotatorHandle annotator, std::int32_t active) {
    if (HostStatus gated = Gate(kAnnotator, "SetAnnotatorActive")) return gated;
    Annotator* record = FindRecord(CurrentHost().App().annotators, annotator);
    if (record == nullptr) return kBadParameterStatus;
    record->active = active != 0;
    return kNoError;
}

HostStatus InvalAnnotationRect(DocumentViewHandle view, const ViewRect* rect) {
    if (HostStatus gated = Gate(kAnnotator, "InvalAnnotationRect")) return gated;
    Document* document = CurrentHost().ActiveDocument();
    if (document == nullptr) return kNoDocumentStatus;
    const auto& views = document->Views();
    const bool known = std::any_of(views.begin(), views.end(), [view](const std::unique_ptr<DocumentView>& candidate) {
        return view == reinterpret_cast<DocumentViewHandle>(candidate.get());
    });
    if (!known || rect == nullptr) return kBadParameterStatus;
    CurrentHost().App().invalidations.push_back(Invalidation{view, *rect});
    return kNoError;
}

// ---- Drawer ----

DrawCall Call(DrawOp op) {
    DrawCall call;
    call.op = op;
    return call;
}

HostStatus Store(AnnotatorDrawerHandle drawer, DrawCall call) {
    if (drawer != CurrentHost().Drawer()) return kBadParameterStatus;
    CurrentHost().App().drawCalls.push_back(std::move(call));
    return kNoError;
}

HostStatus SetColor(AnnotatorDrawerHandle drawer, const UIColor* color) {
    if (HostStatus gated = Gate(kDrawer, "SetColor")) return gated;
    if (color == nullptr) return kBadParameterStatus;
    DrawCall call = Call(DrawOp::SetColor);
    call.color = *color;
    return Store(drawer, call);
}

HostStatus SetLineWidth(AnnotatorDrawerHandle drawer, double width) {
    if (HostStatus gated = Gate(kDrawer, "SetLineWidth")) return gated;
    DrawCall call = Call(DrawOp::SetLineWidth);
    call.width = width;
    return Store(drawer, call);
}

HostStatus SetLineDashed(AnnotatorDrawerHandle drawer, std::int32_t dashed) {
    if (HostStatus gated = Gate(kDrawer, "SetLineDashed")) return gated;
    DrawCall call = Call(DrawOp::SetLineDashed);
    call.flag = dashed;
    return Store(drawer, call);
}

HostStatus SetHighlightMode(AnnotatorDrawerHandle drawer, std::int32_t on, std::int32_t exclusive) {
    if (HostStatus gated = Gate(kDrawer, "SetHighlightMode")) return gated;
    DrawCall call = Call(DrawOp::SetHighlightMode);
    call.flag = on;
    call.exclusive = exclusive;
    return Store(drawer, call);
}

HostStatus DrawLine(AnnotatorDrawerHandle drawer, const ViewPoint* start, const ViewPoint* end) {
    if (HostStatus gated = Gate(kDrawer, "DrawLine")) return gated;
    if (start == nullptr || end == nullptr) return kBadParameterStatus;
    DrawCall call = Call(DrawOp::Line);
    call.points = {*start, *end};
    return Store(drawer, call);
}

HostStatus DrawRect(AnnotatorDrawerHandle drawer, const ViewRect* rect, std::int32_t fill) {
    if (HostStatus gated = Gate(kDrawer, "DrawRect")) return gated;
    if (rect == nullptr) return kBadParameterStatus;
    DrawCall call = Call(DrawOp::Rect);
    call.rect = *rect;
    call.flag = fill;
    return Store(drawer, call);
}

HostStatus DrawEllipse(AnnotatorDrawerHandle drawer, const ViewRect* rect, std::int32_t fill) {
    if (HostStatus gated = Gate(kDrawer, "DrawEllipse")) return gated;
    if (rect == nullptr) return kBadParameterStatus;
    DrawCall call = Call(DrawOp::Ellipse);
    call.rect = *rect;
    call.flag = fill;
    return Store(drawer, call);
}

HostStatus DrawPolygon(AnnotatorDrawerHandle drawer, const ViewPoint* points, std::int32_t count, std::int32_t fill) {
    if (HostStatus gated = Gate(kDrawer, "DrawPolygon")) return gated;
    if (points == nullptr || count < 0) return kBadParameterStatus;
    DrawCall call = Call(DrawOp::Polygon);
    call.points.assign(points, points + count);
    call.flag = fill;
    return Store(drawer, call);
}

HostStatus DrawBeziers(AnnotatorDrawerHandle drawer, const ViewPoint* start, const ViewPoint* controls,
                       std::int32_t count, std::int32_t fill) {
    if (HostStatus gated = Gate(kDrawer, "DrawBeziers")) return gated;
    if (start == nullptr || controls == nullptr || count < 0) return kBadParameterStatus;
    DrawCall call = Call(DrawOp::Beziers);
    call.points.push_back(*start);
    call.points.insert(call.points.end(), controls, controls + 3 * count);
    call.flag = fill;
    return Store(drawer, call);
}

}  // namespace

template <>
const AnnotatorSuite* SuiteTable<AnnotatorSuite>() {
    static const AnnotatorSuite table{AddAnnotator, SetAnnotatorActive, InvalAnnotationRect};
    return &table;
}

template <>
const AnnotatorDrawerSuite* SuiteTable<AnnotatorDrawerSuite>() {
    static const AnnotatorDrawerSuite table{SetColor, SetLineWidth, SetLineDashed, SetHighlightMode, DrawLine,
                                            DrawRect, DrawEllipse,  DrawPolygon,   DrawBeziers};
    return &table;
}

}  // namespace sim
