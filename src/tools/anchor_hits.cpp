#include "tools/anchor_hits.h"

#include <cmath>

#include "geometry/geometry.h"
#include "shell/suites.h"
#include "tools/anchor_cache.h"

namespace {

// Anchors are read in slices of this many, on the stack: tracking allocates nothing.
constexpr std::int16_t kAnchorSlice = 32;

bool InGrownBounds(const RealPoint& point, const RealRect& bounds, const PickTolerance& pick) {
    RealRect grown = bounds;
    sRealMath->RectInset(&grown, pick.inset, pick.inset);
    return sRealMath->PointInRect(&point, &grown) != 0;
}

bool WithinTolerance(const RealPoint& point, const RealPoint& anchor, const PickTolerance& pick) {
    return RealAbs(anchor.h - point.h) <= pick.tolerance && RealAbs(anchor.v - point.v) <= pick.tolerance;
}

// Records {art, index} for an anchor that passed; the first hit of the search moves point onto it.
void Record(ArtHandle art, std::int16_t index, const RealPoint& anchor, RealPoint& point, std::int16_t& kind,
            int& count, AnchorHit* hits) {
    if (count == 0) {
        point = anchor;
        kind = kSnapOnAnchor;
    }
    hits[count] = AnchorHit{art, static_cast<std::uint16_t>(index)};
    ++count;
}

HostStatus CollectPath(ArtHandle path, RealPoint& point, std::int16_t& kind, int& count, AnchorHit* hits,
                       const PickTolerance& pick) {
    RealRect bounds{};
    if (HostStatus status = sArt->GetArtTransformBounds(path, nullptr, kAnchorSearchBounds, &bounds)) return status;
    if (!InGrownBounds(point, bounds, pick)) return kNoError;

    std::int16_t anchors = 0;
    if (HostStatus status = sPath->GetPathSegmentCount(path, &anchors)) return status;
    AnchorRecord slice[kAnchorSlice];
    for (std::int16_t first = 0; first < anchors; first = static_cast<std::int16_t>(first + kAnchorSlice)) {
        const auto size = static_cast<std::int16_t>(anchors - first < kAnchorSlice ? anchors - first : kAnchorSlice);
        if (HostStatus status = sPath->GetPathSegments(path, first, size, slice)) return status;
        for (std::int16_t k = 0; k < size; ++k) {
            if (WithinTolerance(point, slice[k].p, pick)) {
                Record(path, static_cast<std::int16_t>(first + k), slice[k].p, point, kind, count, hits);
                return kNoError;  // one hit per path
            }
        }
    }
    return kNoError;
}

HostStatus CollectText(ArtHandle text, RealPoint& point, std::int16_t& kind, int& count, AnchorHit* hits,
                       const PickTolerance& pick) {
    std::int16_t textKind = 0;
    if (HostStatus status = sArt->GetTextFrameKind(text, &textKind)) return status;
    if (textKind == kAreaText || textKind == kPathText) {
        ArtHandle path = nullptr;
        if (HostStatus status = sArt->GetTextFramePath(text, &path)) return status;
        const int before = count;
        const HostStatus status = CollectPath(path, point, kind, count, hits, pick);
        // The text frame, not its path, is the object the user picked.
        if (count > before && hits[count - 1].art == path) hits[count - 1].art = text;
        return status;
    }
    if (textKind == kPointText) {
        RealPoint anchor{};
        if (HostStatus status = sArt->GetPointTextAnchor(text, &anchor)) return status;
        if (WithinTolerance(point, anchor, pick)) Record(text, 0, anchor, point, kind, count, hits);
    }
    return kNoError;
}

// How far from the searched point an object's bounds can lie and still matter: a path is looked at
// when the point lies in its bounds grown by the inset, a point-text anchor when it lies within the
// tolerance, and after the first hit the point itself may have moved by the tolerance. The margin
// only lets in more candidates; the host's own tests decide.
double CandidateReach(const RealPoint& point, const PickTolerance& pick) {
    const double tolerance = RealAbs(pick.tolerance);
    const double reach = std::fmax(tolerance + RealAbs(pick.inset), 2 * tolerance);
    return reach * (1 + 1e-6) + 1e-9 * (1 + RealAbs(point.h) + RealAbs(point.v));
}

// The candidates of one layer near the point, in walk order, as the walk would have met them.
HostStatus CollectNear(const AnchorCache& cache, const AnchorCacheLayer& layer, std::int32_t near, RealPoint& point,
                       std::int16_t& kind, int& count, AnchorHit* hits, const PickTolerance& pick) {
    for (std::int32_t k = 0; k < near && count < kMaxAnchorHits; ++k) {
        const std::int32_t index = cache.near[k];
        if (index < layer.first) continue;
        if (index >= layer.end) break;
        if (HostStatus status = CollectAnchorHits(cache.candidates[index].art, point, kind, count, hits, pick)) {
            return status;
        }
    }
    return kNoError;
}

}  // namespace

PickTolerance CurrentPickTolerance() {
    const double tolerance = ViewTolerance();
    return PickTolerance{tolerance, static_cast<float>(-tolerance)};
}

HostStatus CollectAnchorHits(ArtHandle art, RealPoint& point, std::int16_t& kind, int& count, AnchorHit* hits,
                             const PickTolerance& pick) {
    if (count >= kMaxAnchorHits) return kNoError;
    std::int16_t type = kUnknownArt;
    if (HostStatus status = sArt->GetArtType(art, &type)) return status;
    switch (type) {
        case kGroupArt:
        case kCompoundPathArt: {
            ArtHandle child = nullptr;
            if (HostStatus status = sArt->GetArtFirstChild(art, &child)) return status;
            // Once five hits are found no further art is examined.
            while (child != nullptr && count < kMaxAnchorHits) {
                if (HostStatus status = CollectAnchorHits(child, point, kind, count, hits, pick)) return status;
                if (HostStatus status = sArt->GetArtSibling(child, &child)) return status;
            }
            return kNoError;
        }
        case kPathArt:
            return CollectPath(art, point, kind, count, hits, pick);
        case kTextFrameArt:
            return CollectText(art, point, kind, count, hits, pick);
        default:
            return kNoError;
    }
}

HostStatus FindAnchorHits(RealPoint& point, std::int16_t& kind, AnchorHitList& hits) {
    AnchorHit found[kMaxAnchorHits];
    int count = 0;
    HostStatus status = kNoError;
    if (sLayer == nullptr || sArt == nullptr || sPath == nullptr || sRealMath == nullptr) {
        status = kSuiteNotFoundStatus;
    } else {
        const PickTolerance pick = CurrentPickTolerance();
        AnchorCache* cache = UsableAnchorCache();
        const std::int32_t near = cache != nullptr ? NearAnchorCandidates(*cache, point, CandidateReach(point, pick)) : 0;
        std::int32_t layers = 0;
        status = sLayer->CountLayers(&layers);
        // Layers that are not the ones the cache was made of mean a change the plug-in was not told
        // of: the cache goes, and the walk through the host answers from there on.
        if (cache != nullptr && status == kNoError && layers != cache->layerCount) {
            cache->usable = false;
            cache = nullptr;
        }
        for (std::int32_t i = 0; status == kNoError && i < layers; ++i) {
            LayerHandle layer = nullptr;
            std::int32_t visible = 0;
            if ((status = sLayer->GetNthLayer(i, &layer)) != kNoError) break;
            if ((status = sLayer->GetLayerVisible(layer, &visible)) != kNoError) break;
            if (visible == 0) continue;
            ArtHandle root = nullptr;
            if ((status = sArt->GetFirstArtOfLayer(layer, &root)) != kNoError) break;
            if (cache != nullptr && (cache->layers[i].layer != layer || cache->layers[i].root != root)) {
                cache->usable = false;
                cache = nullptr;
            }
            status = cache != nullptr ? CollectNear(*cache, cache->layers[i], near, point, kind, count, found, pick)
                                      : CollectAnchorHits(root, point, kind, count, found, pick);
            // Later layers are not searched once a layer gave a hit.
            if (kind != kSnapNone) break;
        }
    }
    for (int k = 0; k < kMaxAnchorHits; ++k) hits[k] = k < count ? found[k] : AnchorHit{nullptr, kNoAnchorIndex};
    return status;
}
