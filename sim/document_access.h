// How the document suites turn the plug-in's handles into the open document's records: each
// answers a status that the operation returns as it is when the handle names nothing alive.
#pragma once

#include "document.h"
#include "suite_support.h"

namespace sim {

inline HostStatus OpenDocument(Document** document) {
    *document = CurrentHost().ActiveDocument();
    return *document != nullptr ? kNoError : kNoDocumentStatus;
}

inline HostStatus ResolveArt(ArtHandle handle, Art** art) {
    Document* document = nullptr;
    if (HostStatus status = OpenDocument(&document)) return status;
    *art = document->FindArt(handle);
    return *art != nullptr ? kNoError : kBadParameterStatus;
}

inline HostStatus ResolvePath(ArtHandle handle, Art** path) {
    if (HostStatus status = ResolveArt(handle, path)) return status;
    return (*path)->type == kPathArt ? kNoError : kBadParameterStatus;
}

inline HostStatus ResolveLayer(LayerHandle handle, Layer** layer) {
    Document* document = nullptr;
    if (HostStatus status = OpenDocument(&document)) return status;
    *layer = document->FindLayerRecord(handle);
    return *layer != nullptr ? kNoError : kBadParameterStatus;
}

inline HostStatus ResolveView(DocumentViewHandle handle, DocumentView** view) {
    Document* document = nullptr;
    if (HostStatus status = OpenDocument(&document)) return status;
    for (const auto& candidate : document->Views()) {
        if (HandleOf(candidate.get()) == handle) {
            *view = candidate.get();
            return kNoError;
        }
    }
    return kBadParameterStatus;
}

}  // namespace sim
