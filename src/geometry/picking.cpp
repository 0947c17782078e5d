#include "geometry/geometry.h"
#include "shell/suites.h"

double ViewTolerance() {
    constexpr double kPickPixels = 2.0;
    double zoom = 1.0;
    DocumentViewHandle view = nullptr;
    if (sDocumentView != nullptr && sDocumentView->GetNthDocumentView(0, &view) == kNoError) {
        sDocumentView->GetDocumentViewZoom(view, &zoom);
    }
    return zoom > 0 ? kPickPixels / zoom : -kPickPixels * zoom;
}

bool PointInGrownRect(const RealPoint& point, const RealRect& rect) {
    if (sRealMath == nullptr) return false;
    RealRect grown = rect;
    const float inset = static_cast<float>(-ViewTolerance());
    sRealMath->RectInset(&grown, inset, inset);
    return sRealMath->PointInRect(&point, &grown) != 0;
}

bool SnapPointToPoint(RealPoint& point, const RealPoint& target) {
    const double tol = ViewTolerance();
    if (RealAbs(target.h - point.h) > tol || RealAbs(target.v - point.v) > tol) return false;
    point = target;
    return true;
}
