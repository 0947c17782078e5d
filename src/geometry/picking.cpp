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
