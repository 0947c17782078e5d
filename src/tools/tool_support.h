// Small host helpers that the adjust tools, the alignment, the record and the annotator share.
#pragma once

#include "host/host_types.h"
#include "shell/suites.h"

// The host's exact point equality; the same comparison when the math suite was refused.
inline bool SamePoint(const RealPoint& a, const RealPoint& b) {
    if (sRealMath != nullptr) return sRealMath->PointEqual(&a, &b) != 0;
    return a.h == b.h && a.v == b.v;
}

// The host's current document view, or null when no document is open.
inline DocumentViewHandle CurrentDocumentView() {
    DocumentViewHandle view = nullptr;
    if (sDocumentView == nullptr || sDocumentView->GetNthDocumentView(0, &view) != kNoError) return nullptr;
    return view;
}

// An artwork point in view coordinates of view; false when the host cannot convert it.
inline bool ToViewPoint(DocumentViewHandle view, const RealPoint& artwork, ViewPoint& point) {
    return sDocumentView != nullptr && sDocumentView->ArtworkPointToViewPoint(view, &artwork, &point) == kNoError;
}

// Whether the art carries the selected user attribute; a failed query counts as not selected.
inline bool ArtIsSelected(ArtHandle art) {
    std::int32_t attributes = 0;
    return sArt != nullptr && sArt->GetArtUserAttr(art, kArtSelected, &attributes) == kNoError &&
           (attributes & kArtSelected) != 0;
}

// Calls visit(child) for each direct child of the root group of every layer, in the layer suite's
// order, until visit returns false. A host error ends the walk where it is.
template <typename Visit>
void ForEachTopLevelObject(Visit visit) {
    if (sLayer == nullptr || sArt == nullptr) return;
    std::int32_t layers = 0;
    if (sLayer->CountLayers(&layers) != kNoError) return;
    for (std::int32_t i = 0; i < layers; ++i) {
        LayerHandle layer = nullptr;
        ArtHandle root = nullptr;
        if (sLayer->GetNthLayer(i, &layer) != kNoError || sArt->GetFirstArtOfLayer(layer, &root) != kNoError) return;
        ArtHandle child = nullptr;
        if (sArt->GetArtFirstChild(root, &child) != kNoError) return;
        while (child != nullptr) {
            if (!visit(child)) return;
            if (sArt->GetArtSibling(child, &child) != kNoError) return;
        }
    }
}
