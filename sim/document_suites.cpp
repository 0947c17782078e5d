// Suites about the document as a whole: Layer, Swatch List, Document View and Document.
#include "document_access.h"

namespace sim {

namespace {

constexpr const char* kLayer = "AI Layer Suite";
constexpr const char* kSwatch = "AI Swatch List Suite";
constexpr const char* kView = "AI Document View Suite";

HostStatus CountLayers(std::int32_t* count) {
    if (HostStatus gated = Gate(kLayer, "CountLayers")) return gated;
    Document* document = nullptr;
    if (HostStatus status = OpenDocument(&document)) return status;
    if (count == nullptr) return kBadParameterStatus;
    *count = document->LayerCount();
    return kNoError;
}

HostStatus GetNthLayer(std::int32_t index, LayerHandle* layer) {
    if (HostStatus gated = Gate(kLayer, "GetNthLayer")) return gated;
    if (layer != nullptr) *layer = nullptr;
    Document* document = nullptr;
    if (HostStatus status = OpenDocument(&document)) return status;
    if (layer == nullptr || document->LayerAt(index) == nullptr) return kBadParameterStatus;
    *layer = HandleOf(document->LayerAt(index));
    return kNoError;
}

HostStatus GetCurrentLayer(LayerHandle* layer) {
    if (HostStatus gated = Gate(kLayer, "GetCurrentLayer")) return gated;
    if (layer != nullptr) *layer = nullptr;
    Document* document = nullptr;
    if (HostStatus status = OpenDocument(&document)) return status;
    if (layer == nullptr) return kBadParameterStatus;
    *layer = HandleOf(document->CurrentLayer());
    return kNoError;
}

HostStatus SetCurrentLayer(LayerHandle handle) {
    if (HostStatus gated = Gate(kLayer, "SetCurrentLayer")) return gated;
    Layer* layer = nullptr;
    if (HostStatus status = ResolveLayer(handle, &layer)) return status;
    CurrentHost().ActiveDocument()->SetCurrentLayer(layer);
    return kNoError;
}

HostStatus GetLayerByTitle(const char* title, LayerHandle* layer) {
    if (HostStatus gated = Gate(kLayer, "GetLayerByTitle")) return gated;
    if (layer != nullptr) *layer = nullptr;
    Document* document = nullptr;
    if (HostStatus status = OpenDocument(&document)) return status;
    if (title == nullptr || layer == nullptr) return kBadParameterStatus;
    Layer* found = document->FindLayer(title);
    if (found == nullptr) return kNotFoundStatus;
    *layer = HandleOf(found);
    return kNoError;
}

HostStatus GetLayerTitle(LayerHandle handle, char* title, std::int32_t titleSize) {
    if (HostStatus gated = Gate(kLayer, "GetLayerTitle")) return gated;
    Layer* layer = nullptr;
    if (HostStatus status = ResolveLayer(handle, &layer)) return status;
    if (title == nullptr || titleSize <= 0) return kBadParameterStatus;
    CopyText(layer->title, title, titleSize);
    return kNoError;
}

HostStatus SetLayerTitle(LayerHandle handle, const char* title) {
    if (HostStatus gated = Gate(kLayer, "SetLayerTitle")) return gated;
    Layer* layer = nullptr;
    if (HostStatus status = ResolveLayer(handle, &layer)) return status;
    if (title == nullptr) return kBadParameterStatus;
    layer->title = title;
    CurrentHost().ActiveDocument()->Touch();
    return kNoError;
}

HostStatus GetLayerVisible(LayerHandle handle, std::int32_t* visible) {
    if (HostStatus gated = Gate(kLayer, "GetLayerVisible")) return gated;
    Layer* layer = nullptr;
    if (HostStatus status = ResolveLayer(handle, &layer)) return status;
    if (visible == nullptr) return kBadParameterStatus;
    *visible = layer->visible ? 1 : 0;
    return kNoError;
}

HostStatus GetLayerEditable(LayerHandle handle, std::int32_t* editable) {
    if (HostStatus gated = Gate(kLayer, "GetLayerEditable")) return gated;
    Layer* layer = nullptr;
    if (HostStatus status = ResolveLayer(handle, &layer)) return status;
    if (editable == nullptr) return kBadParameterStatus;
    *editable = layer->editable ? 1 : 0;
    return kNoError;
}

// base null places the layer at the top (kPlaceAbove) or the bottom (kPlaceBelow) of the list.
HostStatus InsertLayer(LayerHandle base, PaintOrder order, LayerHandle* layer) {
    if (HostStatus gated = Gate(kLayer, "InsertLayer")) return gated;
    if (layer != nullptr) *layer = nullptr;
    Document* document = nullptr;
    if (HostStatus status = OpenDocument(&document)) return status;
    Layer* baseLayer = nullptr;
    if (base != nullptr && (baseLayer = document->FindLayerRecord(base)) == nullptr) return kBadParameterStatus;
    if (layer == nullptr) return kBadParameterStatus;
    Layer* inserted = document->InsertLayer(baseLayer, order);
    if (inserted == nullptr) return kBadParameterStatus;
    *layer = HandleOf(inserted);
    return kNoError;
}

// ---- Swatch list: one list, the document's; a null list also means it ----

SwatchListHandle ListOf(Document* document) { return reinterpret_cast<SwatchListHandle>(&document->Swatches()); }

HostStatus ResolveList(SwatchListHandle list, Document** document) {
    if (HostStatus status = OpenDocument(document)) return status;
    return list == nullptr || list == ListOf(*document) ? kNoError : kBadParameterStatus;
}

HostStatus ResolveSwatch(SwatchHandle handle, Swatch** swatch) {
    Document* document = nullptr;
    if (HostStatus status = OpenDocument(&document)) return status;
    for (const std::unique_ptr<Swatch>& candidate : document->Swatches()) {
        if (HandleOf(candidate.get()) == handle) {
            *swatch = candidate.get();
            return kNoError;
        }
    }
    return kBadParameterStatus;
}

HostStatus GetDocumentSwatchList(SwatchListHandle* list) {
    if (HostStatus gated = Gate(kSwatch, "GetDocumentSwatchList")) return gated;
    if (list != nullptr) *list = nullptr;
    Document* document = nullptr;
    if (HostStatus status = OpenDocument(&document)) return status;
    if (list == nullptr) return kBadParameterStatus;
    *list = ListOf(document);
    return kNoError;
}

HostStatus CountSwatches(SwatchListHandle list, std::int32_t* count) {
    if (HostStatus gated = Gate(kSwatch, "CountSwatches")) return gated;
    Document* document = nullptr;
    if (HostStatus status = ResolveList(list, &document)) return status;
    if (count == nullptr) return kBadParameterStatus;
    *count = static_cast<std::int32_t>(document->Swatches().size());
    return kNoError;
}

HostStatus GetNthSwatch(SwatchListHandle list, std::int32_t index, SwatchHandle* swatch) {
    if (HostStatus gated = Gate(kSwatch, "GetNthSwatch")) return gated;
    if (swatch != nullptr) *swatch = nullptr;
    Document* document = nullptr;
    if (HostStatus status = ResolveList(list, &document)) return status;
    const auto& swatches = document->Swatches();
    if (swatch == nullptr || index < 0 || static_cast<std::size_t>(index) >= swatches.size()) {
        return kBadParameterStatus;
    }
    *swatch = HandleOf(swatches[static_cast<std::size_t>(index)].get());
    return kNoError;
}

HostStatus GetSwatchName(SwatchHandle handle, char* name, std::int32_t nameSize) {
    if (HostStatus gated = Gate(kSwatch, "GetSwatchName")) return gated;
    Swatch* swatch = nullptr;
    if (HostStatus status = ResolveSwatch(handle, &swatch)) return status;
    if (name == nullptr || nameSize <= 0) return kBadParameterStatus;
    CopyText(swatch->name, name, nameSize);
    return kNoError;
}

HostStatus GetSwatchColor(SwatchHandle handle, Color* color) {
    if (HostStatus gated = Gate(kSwatch, "GetSwatchColor")) return gated;
    Swatch* swatch = nullptr;
    if (HostStatus status = ResolveSwatch(handle, &swatch)) return status;
    if (color == nullptr) return kBadParameterStatus;
    *color = swatch->color;
    return kNoError;
}

HostStatus GetSwatchByNameAndType(SwatchListHandle list, const char* name, ColorKind kind, SwatchHandle* swatch) {
    if (HostStatus gated = Gate(kSwatch, "GetSwatchByNameAndType")) return gated;
    if (swatch != nullptr) *swatch = nullptr;
    Document* document = nullptr;
    if (HostStatus status = ResolveList(list, &document)) return status;
    if (name == nullptr || swatch == nullptr) return kBadParameterStatus;
    for (const std::unique_ptr<Swatch>& candidate : document->Swatches()) {
        if (candidate->name == name && candidate->color.kind == kind) {
            *swatch = HandleOf(candidate.get());
            return kNoError;
        }
    }
    return kNotFoundStatus;
}

// ---- Document views ----

HostStatus GetNthDocumentView(std::int32_t index, DocumentViewHandle* view) {
    if (HostStatus gated = Gate(kView, "GetNthDocumentView")) return gated;
    if (view != nullptr) *view = nullptr;
    Document* document = nullptr;
    if (HostStatus status = OpenDocument(&document)) return status;
    if (view == nullptr || document->View(index) == nullptr) return kBadParameterStatus;
    *view = HandleOf(document->View(index));
    return kNoError;
}

HostStatus GetDocumentViewZoom(DocumentViewHandle handle, double* zoom) {
    if (HostStatus gated = Gate(kView, "GetDocumentViewZoom")) return gated;
    DocumentView* view = nullptr;
    if (HostStatus status = ResolveView(handle, &view)) return status;
    if (zoom == nullptr) return kBadParameterStatus;
    *zoom = view->zoom;
    return kNoError;
}

HostStatus GetDocumentViewBounds(DocumentViewHandle handle, RealRect* bounds) {
    if (HostStatus gated = Gate(kView, "GetDocumentViewBounds")) return gated;
    DocumentView* view = nullptr;
    if (HostStatus status = ResolveView(handle, &view)) return status;
    if (bounds == nullptr) return kBadParameterStatus;
    *bounds = view->Bounds();
    return kNoError;
}

HostStatus ArtworkPointToViewPoint(DocumentViewHandle handle, const RealPoint* artwork, ViewPoint* viewPoint) {
    if (HostStatus gated = Gate(kView, "ArtworkPointToViewPoint")) return gated;
    DocumentView* view = nullptr;
    if (HostStatus status = ResolveView(handle, &view)) return status;
    if (artwork == nullptr || viewPoint == nullptr) return kBadParameterStatus;
    *viewPoint = view->ToView(*artwork);
    return kNoError;
}

HostStatus ViewPointToArtworkPoint(DocumentViewHandle handle, const ViewPoint* viewPoint, RealPoint* artwork) {
    if (HostStatus gated = Gate(kView, "ViewPointToArtworkPoint")) return gated;
    DocumentView* view = nullptr;
    if (HostStatus status = ResolveView(handle, &view)) return status;
    if (artwork == nullptr || viewPoint == nullptr) return kBadParameterStatus;
    *artwork = view->ToArtwork(*viewPoint);
    return kNoError;
}

// ---- Document ----

HostStatus GetDocumentMaxArtboardBounds(RealRect* bounds) {
    if (HostStatus gated = Gate("AI Document Suite", "GetDocumentMaxArtboardBounds")) return gated;
    Document* document = nullptr;
    if (HostStatus status = OpenDocument(&document)) return status;
    if (bounds == nullptr) return kBadParameterStatus;
    *bounds = document->drawingArea;
    return kNoError;
}

}  // namespace

template <>
const LayerSuite* SuiteTable<LayerSuite>() {
    static const LayerSuite table{CountLayers,   GetNthLayer,     GetCurrentLayer,  SetCurrentLayer,
                                  GetLayerByTitle, GetLayerTitle, SetLayerTitle,    GetLayerVisible,
                                  GetLayerEditable, InsertLayer};
    return &table;
}

template <>
const SwatchListSuite* SuiteTable<SwatchListSuite>() {
    static const SwatchListSuite table{GetDocumentSwatchList, CountSwatches,  GetNthSwatch,
                                       GetSwatchName,         GetSwatchColor, GetSwatchByNameAndType};
    return &table;
}

template <>
const DocumentViewSuite* SuiteTable<DocumentViewSuite>() {
    static const DocumentViewSuite table{GetNthDocumentView, GetDocumentViewZoom, GetDocumentViewBounds,
                                         ArtworkPointToViewPoint, ViewPointToArtworkPoint};
    return &table;
}

template <>
const DocumentSuite* SuiteTable<DocumentSuite>() {
    static const DocumentSuite table{GetDocumentMaxArtboardBounds};
    return &table;
}

}  // namespace sim
