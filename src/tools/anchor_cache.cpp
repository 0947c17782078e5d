#include "tools/anchor_cache.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "shell/growing_array.h"
#include "shell/plugin_state.h"
#include "shell/suites.h"
#include "tools/anchor_hits.h"

namespace {

// An object spanning more cells than this is looked at on every search instead: a few large
// objects must not fill the grid.
constexpr std::int64_t kMostCellsPerCandidate = 64;
constexpr std::int32_t kMostGridSide = 4096;

// The walk's findings, grown with the C heap: only the finished cache is the host's memory.
struct Gathered {
    AnchorCandidate* candidates = nullptr;
    std::int32_t count = 0;
    std::int32_t capacity = 0;
    AnchorCacheLayer* layers = nullptr;
    std::int32_t layerCount = 0;

    Gathered() = default;
    Gathered(const Gathered&) = delete;
    Gathered& operator=(const Gathered&) = delete;
    ~Gathered() {
        std::free(candidates);
        std::free(layers);
    }
};

HostStatus Add(Gathered& found, ArtHandle art, const RealRect& bounds) {
    if (!RoomForOneMore(found.candidates, found.count, found.capacity, 256)) return kOutOfMemoryStatus;
    // Ordered, whichever way round the host reports a rectangle.
    found.candidates[found.count++] =
        AnchorCandidate{art, RealRect{std::fmin(bounds.left, bounds.right), std::fmax(bounds.top, bounds.bottom),
                                      std::fmax(bounds.left, bounds.right), std::fmin(bounds.top, bounds.bottom)}};
    return kNoError;
}

// The same walk as the search's, recording where it would look at anchors instead of looking.
HostStatus Gather(ArtHandle art, Gathered& found) {
    std::int16_t type = kUnknownArt;
    if (HostStatus status = sArt->GetArtType(art, &type)) return status;
    RealRect bounds{};
    switch (type) {
        case kGroupArt:
        case kCompoundPathArt: {
            ArtHandle child = nullptr;
            if (HostStatus status = sArt->GetArtFirstChild(art, &child)) return status;
            while (child != nullptr) {
                if (HostStatus status = Gather(child, found)) return status;
                if (HostStatus status = sArt->GetArtSibling(child, &child)) return status;
            }
            return kNoError;
        }
        case kPathArt:
            if (HostStatus status = sArt->GetArtTransformBounds(art, nullptr, kAnchorSearchBounds, &bounds)) return status;
            return Add(found, art, bounds);
        case kTextFrameArt: {
            std::int16_t textKind = 0;
            if (HostStatus status = sArt->GetTextFrameKind(art, &textKind)) return status;
            if (textKind == kAreaText || textKind == kPathText) {
                ArtHandle path = nullptr;
                if (HostStatus status = sArt->GetTextFramePath(art, &path)) return status;
                if (HostStatus status = sArt->GetArtTransformBounds(path, nullptr, kAnchorSearchBounds, &bounds)) {
                    return status;
                }
                return Add(found, art, bounds);
            }
            if (textKind == kPointText) {
                RealPoint anchor{};
                if (HostStatus status = sArt->GetPointTextAnchor(art, &anchor)) return status;
                return Add(found, art, RealRect{anchor.h, anchor.v, anchor.h, anchor.v});
            }
            return kNoError;
        }
        default:
            return kNoError;
    }
}

// Every layer, visible or not: visibility is asked afresh on each search.
HostStatus GatherDocument(Gathered& found) {
    std::int32_t layers = 0;
    if (HostStatus status = sLayer->CountLayers(&layers)) return status;
    if (layers < 0) return kBadParameterStatus;
    found.layers = static_cast<AnchorCacheLayer*>(std::calloc(static_cast<std::size_t>(layers) + 1, sizeof(AnchorCacheLayer)));
    if (found.layers == nullptr) return kOutOfMemoryStatus;
    for (std::int32_t i = 0; i < layers; ++i) {
        AnchorCacheLayer& entry = found.layers[i];
        if (HostStatus status = sLayer->GetNthLayer(i, &entry.layer)) return status;
        if (HostStatus status = sArt->GetFirstArtOfLayer(entry.layer, &entry.root)) return status;
        entry.first = found.count;
        if (HostStatus status = Gather(entry.root, found)) return status;
        entry.end = found.count;
        ++found.layerCount;
    }
    return kNoError;
}

bool Finite(const RealRect& box) {
    return std::isfinite(box.left) && std::isfinite(box.right) && std::isfinite(box.top) && std::isfinite(box.bottom);
}

// Clamped, so that far or infinite coordinates fall into the edge cells (and NaN into the first);
// the mapping only has to be monotone for boxes and queries to meet in the same cells.
std::int32_t CellIndex(double coordinate, double origin, double cell, std::int32_t cells) {
    const double at = (coordinate - origin) / cell;
    if (!(at >= 0)) return 0;
    if (at >= cells) return cells - 1;
    return static_cast<std::int32_t>(at);
}

struct Span {
    std::int32_t c0, c1, r0, r1;
    std::int64_t Cells() const { return static_cast<std::int64_t>(c1 - c0 + 1) * (r1 - r0 + 1); }
};

Span SpanOf(const AnchorCache& grid, double left, double right, double bottom, double top) {
    return Span{CellIndex(left, grid.left, grid.cell, grid.columns), CellIndex(right, grid.left, grid.cell, grid.columns),
                CellIndex(bottom, grid.bottom, grid.cell, grid.rows), CellIndex(top, grid.bottom, grid.cell, grid.rows)};
}

bool IsWide(const AnchorCache& grid, const AnchorCandidate& candidate) {
    if (grid.columns == 0 || !Finite(candidate.box)) return true;
    const RealRect& box = candidate.box;
    return SpanOf(grid, box.left, box.right, box.bottom, box.top).Cells() > kMostCellsPerCandidate;
}

// Cells of about one object each over the objects' extent, at most kMostGridSide a side and not
// many more cells than objects.
void PlanGrid(const Gathered& found, AnchorCache& grid) {
    grid.columns = grid.rows = 0;
    grid.left = grid.bottom = 0;
    grid.cell = 1;
    bool any = false;
    double left = 0, right = 0, bottom = 0, top = 0;
    for (std::int32_t i = 0; i < found.count; ++i) {
        const RealRect& box = found.candidates[i].box;
        if (!Finite(box)) continue;
        left = any ? std::fmin(left, box.left) : box.left;
        right = any ? std::fmax(right, box.right) : box.right;
        bottom = any ? std::fmin(bottom, box.bottom) : box.bottom;
        top = any ? std::fmax(top, box.top) : box.top;
        any = true;
    }
    if (!any) return;
    const double width = right - left;
    const double height = top - bottom;
    if (!std::isfinite(width) || !std::isfinite(height)) return;  // no grid: every object is wide
    const double longer = std::fmax(width, height);
    double cell = std::fmax(std::sqrt(width * height / found.count), longer / kMostGridSide);
    if (!(cell > 0) || !std::isfinite(cell)) cell = longer > 0 ? longer : 1;
    const std::int64_t mostCells = 4 * static_cast<std::int64_t>(found.count) + 1024;
    std::int64_t columns = 0, rows = 0;
    for (;;) {
        columns = std::min<std::int64_t>(kMostGridSide, static_cast<std::int64_t>(std::fmin(width / cell, kMostGridSide)) + 1);
        rows = std::min<std::int64_t>(kMostGridSide, static_cast<std::int64_t>(std::fmin(height / cell, kMostGridSide)) + 1);
        if (columns * rows <= mostCells) break;
        cell *= 2;
    }
    grid.left = left;
    grid.bottom = bottom;
    grid.cell = cell;
    grid.columns = static_cast<std::int32_t>(columns);
    grid.rows = static_cast<std::int32_t>(rows);
}

std::size_t RoundUp(std::size_t size) { return (size + 7) & ~static_cast<std::size_t>(7); }

// Lays the cache out in one host block: the record, then its arrays.
HostStatus BuildCache(const Gathered& found, AnchorCache** made) {
    AnchorCache plan{};
    PlanGrid(found, plan);
    const std::int64_t cells = static_cast<std::int64_t>(plan.columns) * plan.rows;
    std::int64_t items = 0;
    std::int32_t wide = 0;
    for (std::int32_t i = 0; i < found.count; ++i) {
        const AnchorCandidate& candidate = found.candidates[i];
        if (IsWide(plan, candidate)) {
            ++wide;
        } else {
            items += SpanOf(plan, candidate.box.left, candidate.box.right, candidate.box.bottom, candidate.box.top).Cells();
        }
    }

    const auto n = static_cast<std::size_t>(found.count);
    const std::size_t header = RoundUp(sizeof(AnchorCache));
    const std::size_t candidatesAt = header;
    const std::size_t layersAt = candidatesAt + RoundUp(n * sizeof(AnchorCandidate));
    const std::size_t cellStartAt = layersAt + RoundUp(static_cast<std::size_t>(found.layerCount) * sizeof(AnchorCacheLayer));
    const std::size_t cellItemsAt = cellStartAt + RoundUp(static_cast<std::size_t>(cells + 1) * sizeof(std::int32_t));
    const std::size_t wideAt = cellItemsAt + RoundUp(static_cast<std::size_t>(items) * sizeof(std::int32_t));
    const std::size_t seenAt = wideAt + RoundUp(static_cast<std::size_t>(wide) * sizeof(std::int32_t));
    const std::size_t nearAt = seenAt + RoundUp(n * sizeof(std::uint32_t));
    const std::size_t size = nearAt + RoundUp(n * sizeof(std::int32_t));

    void* block = nullptr;
    if (HostStatus status = gBasic->AllocateBlock(size, &block)) return status;
    if (block == nullptr) return kOutOfMemoryStatus;
    auto* bytes = static_cast<unsigned char*>(block);
    auto* cache = static_cast<AnchorCache*>(block);
    *cache = plan;
    cache->usable = true;
    cache->layerCount = found.layerCount;
    cache->candidateCount = found.count;
    cache->wideCount = 0;
    cache->stamp = 0;
    cache->candidates = reinterpret_cast<AnchorCandidate*>(bytes + candidatesAt);
    cache->layers = reinterpret_cast<AnchorCacheLayer*>(bytes + layersAt);
    cache->cellStart = reinterpret_cast<std::int32_t*>(bytes + cellStartAt);
    cache->cellItems = reinterpret_cast<std::int32_t*>(bytes + cellItemsAt);
    cache->wide = reinterpret_cast<std::int32_t*>(bytes + wideAt);
    cache->seen = reinterpret_cast<std::uint32_t*>(bytes + seenAt);
    cache->near = reinterpret_cast<std::int32_t*>(bytes + nearAt);

    if (n != 0) std::memcpy(cache->candidates, found.candidates, n * sizeof(AnchorCandidate));
    if (found.layerCount != 0) {
        std::memcpy(cache->layers, found.layers, static_cast<std::size_t>(found.layerCount) * sizeof(AnchorCacheLayer));
    }
    if (n != 0) std::memset(cache->seen, 0, n * sizeof(std::uint32_t));

    // Counts per cell, then offsets, then the candidates in walk order: each cell's list ascends.
    std::memset(cache->cellStart, 0, static_cast<std::size_t>(cells + 1) * sizeof(std::int32_t));
    for (std::int32_t i = 0; i < found.count; ++i) {
        const AnchorCandidate& candidate = cache->candidates[i];
        if (IsWide(*cache, candidate)) continue;
        const Span span = SpanOf(*cache, candidate.box.left, candidate.box.right, candidate.box.bottom, candidate.box.top);
        for (std::int32_t r = span.r0; r <= span.r1; ++r) {
            for (std::int32_t c = span.c0; c <= span.c1; ++c) ++cache->cellStart[r * cache->columns + c + 1];
        }
    }
    for (std::int64_t k = 0; k < cells; ++k) cache->cellStart[k + 1] += cache->cellStart[k];
    // Each cell's offset is advanced as it fills and ends at the next cell's start: shifted back after.
    for (std::int32_t i = 0; i < found.count; ++i) {
        const AnchorCandidate& candidate = cache->candidates[i];
        if (IsWide(*cache, candidate)) {
            cache->wide[cache->wideCount++] = i;
            continue;
        }
        const Span span = SpanOf(*cache, candidate.box.left, candidate.box.right, candidate.box.bottom, candidate.box.top);
        for (std::int32_t r = span.r0; r <= span.r1; ++r) {
            for (std::int32_t c = span.c0; c <= span.c1; ++c) cache->cellItems[cache->cellStart[r * cache->columns + c]++] = i;
        }
    }
    for (std::int64_t k = cells; k > 0; --k) cache->cellStart[k] = cache->cellStart[k - 1];
    cache->cellStart[0] = 0;
    *made = cache;
    return kNoError;
}

bool FreeCacheBlock(SPBasicSuite* basic) {
    AnchorCache* cache = gState->anchorCache;
    if (cache == nullptr) return true;
    cache->usable = false;
    if (basic == nullptr || basic->FreeBlock(cache) != kNoError) return false;
    gState->anchorCache = nullptr;
    return true;
}

}  // namespace

HostStatus EnsureAnchorCache() {
    if (gState == nullptr || UsableAnchorCache() != nullptr) return kNoError;
    // A walk that failed is not repeated on every move: the search goes uncached until the next drop.
    if (gState->anchorCacheRefused != 0) return kNoError;
    if (!FreeCacheBlock(gBasic)) return kNoError;  // one block at a time
    if (gBasic == nullptr || sLayer == nullptr || sArt == nullptr) return kSuiteNotFoundStatus;

    Gathered found;
    AnchorCache* made = nullptr;
    HostStatus status = GatherDocument(found);
    if (status == kNoError) status = BuildCache(found, &made);
    if (status != kNoError) {
        gState->anchorCacheRefused = 1;
        return status;
    }
    gState->anchorCache = made;
    return kNoError;
}

AnchorCache* UsableAnchorCache() {
    if (gState == nullptr || gState->anchorCache == nullptr || !gState->anchorCache->usable) return nullptr;
    return gState->anchorCache;
}

void DropAnchorCache() {
    if (gState == nullptr) return;
    gState->anchorCacheRefused = 0;
    FreeCacheBlock(gBasic);
}

void FreeAnchorCache(SPBasicSuite* basic) {
    if (gState == nullptr) return;
    FreeCacheBlock(basic);
    gState->anchorCache = nullptr;  // refused at shut-down: nothing is left to try again
    gState->anchorCacheRefused = 0;
}

std::int32_t NearAnchorCandidates(AnchorCache& cache, const RealPoint& around, double reach) {
    if (++cache.stamp == 0) {
        std::memset(cache.seen, 0, static_cast<std::size_t>(cache.candidateCount) * sizeof(std::uint32_t));
        cache.stamp = 1;
    }
    std::int32_t count = 0;
    // Bounds that are not numbers never rule a candidate out: the host's own test decides.
    const auto take = [&](std::int32_t i) {
        if (cache.seen[i] == cache.stamp) return;
        cache.seen[i] = cache.stamp;
        const RealRect& box = cache.candidates[i].box;
        if (box.left - reach > around.h || box.right + reach < around.h || box.bottom - reach > around.v ||
            box.top + reach < around.v) {
            return;
        }
        cache.near[count++] = i;
    };
    const bool bounded = std::isfinite(around.h) && std::isfinite(around.v) && std::isfinite(reach);
    if (!bounded) {
        for (std::int32_t i = 0; i < cache.candidateCount; ++i) cache.near[count++] = i;
        return count;
    }
    for (std::int32_t k = 0; k < cache.wideCount; ++k) take(cache.wide[k]);
    if (cache.columns > 0) {
        const Span span = SpanOf(cache, around.h - reach, around.h + reach, around.v - reach, around.v + reach);
        if (span.Cells() > cache.candidateCount) {
            for (std::int32_t i = 0; i < cache.candidateCount; ++i) take(i);
        } else {
            for (std::int32_t r = span.r0; r <= span.r1; ++r) {
                for (std::int32_t c = span.c0; c <= span.c1; ++c) {
                    const std::int32_t cell = r * cache.columns + c;
                    for (std::int32_t k = cache.cellStart[cell]; k < cache.cellStart[cell + 1]; ++k) take(cache.cellItems[k]);
                }
            }
        }
    }
    std::sort(cache.near, cache.near + count);
    return count;
}
