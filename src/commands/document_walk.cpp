#include "commands/document_walk.h"

#include <vector>

#include "shell/suites.h"

namespace {

struct PathWalk {
    ArtVisit visitPath;
    void* context;
};

HostStatus WalkLayerPaths(ArtHandle art, void* walk) {
    const PathWalk& request = *static_cast<const PathWalk*>(walk);
    return WalkArtPaths(art, request.visitPath, request.context);
}

}  // namespace

HostStatus ForEachLayerArt(ArtVisit visit, void* context) {
    if (sLayer == nullptr || sArt == nullptr) return kSuiteNotFoundStatus;
    std::int32_t count = 0;
    if (HostStatus status = sLayer->CountLayers(&count)) return status;
    std::vector<LayerHandle> layers;
    layers.reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
    for (std::int32_t i = 0; i < count; ++i) {
        LayerHandle layer = nullptr;
        if (HostStatus status = sLayer->GetNthLayer(i, &layer)) return status;
        layers.push_back(layer);
    }
    for (LayerHandle layer : layers) {
        ArtHandle first = nullptr;
        if (HostStatus status = sArt->GetFirstArtOfLayer(layer, &first)) return status;
        if (first == nullptr) continue;
        if (HostStatus status = visit(first, context)) return status;
    }
    return kNoError;
}

HostStatus WalkArtObjects(ArtHandle art, ArtObjectVisit visit, void* context) {
    if (sArt == nullptr) return kSuiteNotFoundStatus;
    std::int16_t type = kUnknownArt;
    if (HostStatus status = sArt->GetArtType(art, &type)) return status;
    if (type == kGroupArt) {
        ArtHandle child = nullptr;
        if (HostStatus status = sArt->GetArtFirstChild(art, &child)) return status;
        while (child != nullptr) {
            if (HostStatus status = WalkArtObjects(child, visit, context)) return status;
            if (HostStatus status = sArt->GetArtSibling(child, &child)) return status;
        }
    }
    return visit(art, type, context);
}

HostStatus WalkArtPaths(ArtHandle art, ArtVisit visitPath, void* context) {
    if (sArt == nullptr) return kSuiteNotFoundStatus;
    std::int16_t type = kUnknownArt;
    if (HostStatus status = sArt->GetArtType(art, &type)) return status;
    if (type == kPathArt) return visitPath(art, context);
    if (type != kGroupArt && type != kCompoundPathArt) return kNoError;

    ArtHandle child = nullptr;
    if (HostStatus status = sArt->GetArtFirstChild(art, &child)) return status;
    while (child != nullptr) {
        if (HostStatus status = WalkArtPaths(child, visitPath, context)) return status;
        if (HostStatus status = sArt->GetArtSibling(child, &child)) return status;
    }
    return kNoError;
}

HostStatus WalkDocumentPaths(ArtVisit visitPath, void* context) {
    PathWalk walk{visitPath, context};
    return ForEachLayerArt(WalkLayerPaths, &walk);
}
