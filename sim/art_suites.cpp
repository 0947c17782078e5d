// The Art suite: making, walking and reading art objects of the open document.
#include "document_access.h"

namespace sim {

namespace {

constexpr const char* kArt = "AI Art Suite";

HostStatus NewArt(ArtType type, PaintOrder order, ArtHandle prep, ArtHandle* art) {
    if (HostStatus gated = Gate(kArt, "NewArt")) return gated;
    if (art != nullptr) *art = nullptr;
    Document* document = nullptr;
    if (HostStatus status = OpenDocument(&document)) return status;
    Art* prepArt = nullptr;
    if (prep != nullptr && (prepArt = document->FindArt(prep)) == nullptr) return kBadParameterStatus;
    if (art == nullptr) return kBadParameterStatus;
    Art* made = document->NewArt(type, order, prepArt);
    if (made == nullptr) return kBadParameterStatus;
    *art = HandleOf(made);
    return kNoError;
}

HostStatus DisposeArt(ArtHandle handle) {
    if (HostStatus gated = Gate(kArt, "DisposeArt")) return gated;
    Art* art = nullptr;
    if (HostStatus status = ResolveArt(handle, &art)) return status;
    if (art->parent == nullptr) return kBadParameterStatus;  // a layer's group, or art outside the tree
    CurrentHost().ActiveDocument()->Dispose(art);
    return kNoError;
}

HostStatus GetArtType(ArtHandle handle, std::int16_t* type) {
    if (HostStatus gated = Gate(kArt, "GetArtType")) return gated;
    Art* art = nullptr;
    if (HostStatus status = ResolveArt(handle, &art)) return status;
    if (type == nullptr) return kBadParameterStatus;
    *type = art->type;
    return kNoError;
}

// The four walks: the neighbour may be null (no parent, no child, last or first sibling).
HostStatus Neighbour(const char* operation, ArtHandle handle, ArtHandle* result, Art* Art::*link) {
    if (HostStatus gated = Gate(kArt, operation)) return gated;
    if (result != nullptr) *result = nullptr;
    Art* art = nullptr;
    if (HostStatus status = ResolveArt(handle, &art)) return status;
    if (result == nullptr) return kBadParameterStatus;
    *result = HandleOf(art->*link);
    return kNoError;
}

HostStatus GetArtParent(ArtHandle art, ArtHandle* parent) { return Neighbour("GetArtParent", art, parent, &Art::parent); }

HostStatus GetArtFirstChild(ArtHandle art, ArtHandle* child) {
    return Neighbour("GetArtFirstChild", art, child, &Art::firstChild);
}

HostStatus GetArtSibling(ArtHandle art, ArtHandle* sibling) {
    return Neighbour("GetArtSibling", art, sibling, &Art::next);
}

HostStatus GetArtPriorSibling(ArtHandle art, ArtHandle* sibling) {
    return Neighbour("GetArtPriorSibling", art, sibling, &Art::prior);
}

HostStatus GetFirstArtOfLayer(LayerHandle handle, ArtHandle* art) {
    if (HostStatus gated = Gate(kArt, "GetFirstArtOfLayer")) return gated;
    if (art != nullptr) *art = nullptr;
    Layer* layer = nullptr;
    if (HostStatus status = ResolveLayer(handle, &layer)) return status;
    if (art == nullptr) return kBadParameterStatus;
    *art = HandleOf(layer->root);
    return kNoError;
}

HostStatus GetLayerOfArt(ArtHandle handle, LayerHandle* layer) {
    if (HostStatus gated = Gate(kArt, "GetLayerOfArt")) return gated;
    if (layer != nullptr) *layer = nullptr;
    Art* art = nullptr;
    if (HostStatus status = ResolveArt(handle, &art)) return status;
    if (layer == nullptr) return kBadParameterStatus;
    *layer = HandleOf(art->layer);
    return kNoError;
}

HostStatus GetArtUserAttr(ArtHandle handle, std::int32_t mask, std::int32_t* attributes) {
    if (HostStatus gated = Gate(kArt, "GetArtUserAttr")) {
        // A failing host may leave anything in the output: every bit, so that a caller who used it
        // regardless takes the art for selected, locked and hidden at once.
        if (attributes != nullptr) *attributes = ~std::int32_t{0};
        return gated;
    }
    Art* art = nullptr;
    if (HostStatus status = ResolveArt(handle, &art)) return status;
    if (attributes == nullptr) return kBadParameterStatus;
    *attributes = art->attributes & mask;
    return kNoError;
}

// The attributes are independent of the anchors' selection states: each is set as asked.
HostStatus SetArtUserAttr(ArtHandle handle, std::int32_t mask, std::int32_t attributes) {
    if (HostStatus gated = Gate(kArt, "SetArtUserAttr")) return gated;
    Art* art = nullptr;
    if (HostStatus status = ResolveArt(handle, &art)) return status;
    art->attributes = (art->attributes & ~mask) | (attributes & mask);
    CurrentHost().ActiveDocument()->Touch();
    return kNoError;
}

HostStatus GetArtBounds(ArtHandle handle, RealRect* bounds) {
    if (HostStatus gated = Gate(kArt, "GetArtBounds")) return gated;
    Art* art = nullptr;
    if (HostStatus status = ResolveArt(handle, &art)) return status;
    if (bounds == nullptr) return kBadParameterStatus;
    *bounds = CurrentHost().ActiveDocument()->Bounds(art);
    return kNoError;
}

// The geometric bounds of the art as matrix would place it (null: as it is); this host has no
// stroke or other bounds, so flags only reach the call log.
HostStatus GetArtTransformBounds(ArtHandle handle, const RealMatrix* matrix, std::int32_t /*flags*/,
                                 RealRect* bounds) {
    if (HostStatus gated = Gate(kArt, "GetArtTransformBounds")) return gated;
    Art* art = nullptr;
    if (HostStatus status = ResolveArt(handle, &art)) return status;
    if (bounds == nullptr) return kBadParameterStatus;
    *bounds = CurrentHost().ActiveDocument()->Bounds(art, matrix);
    return kNoError;
}

HostStatus ResolveText(ArtHandle handle, Art** text) {
    if (HostStatus status = ResolveArt(handle, text)) return status;
    return (*text)->type == kTextFrameArt ? kNoError : kBadParameterStatus;
}

HostStatus GetTextFrameKind(ArtHandle handle, std::int16_t* kind) {
    if (HostStatus gated = Gate(kArt, "GetTextFrameKind")) return gated;
    Art* text = nullptr;
    if (HostStatus status = ResolveText(handle, &text)) return status;
    if (kind == nullptr) return kBadParameterStatus;
    *kind = text->textKind;
    return kNoError;
}

HostStatus GetTextFramePath(ArtHandle handle, ArtHandle* path) {
    if (HostStatus gated = Gate(kArt, "GetTextFramePath")) return gated;
    if (path != nullptr) *path = nullptr;
    Art* text = nullptr;
    if (HostStatus status = ResolveText(handle, &text)) return status;
    if (path == nullptr || text->textPath == nullptr) return kBadParameterStatus;
    *path = HandleOf(text->textPath);
    return kNoError;
}

HostStatus GetPointTextAnchor(ArtHandle handle, RealPoint* anchor) {
    if (HostStatus gated = Gate(kArt, "GetPointTextAnchor")) return gated;
    Art* text = nullptr;
    if (HostStatus status = ResolveText(handle, &text)) return status;
    if (anchor == nullptr || text->textKind != kPointText) return kBadParameterStatus;
    *anchor = text->textAnchor;
    return kNoError;
}

}  // namespace

template <>
const ArtSuite* SuiteTable<ArtSuite>() {
    static const ArtSuite table{NewArt,           DisposeArt,       GetArtType,         GetArtParent,
                                GetArtFirstChild, GetArtSibling,    GetArtPriorSibling, GetFirstArtOfLayer,
                                GetLayerOfArt,    GetArtUserAttr,   SetArtUserAttr,     GetArtBounds,
                                GetArtTransformBounds, GetTextFrameKind, GetTextFramePath, GetPointTextAnchor};
    return &table;
}

}  // namespace sim
