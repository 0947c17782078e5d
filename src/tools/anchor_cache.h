// What the anchor search keeps between cursor moves: every object it could stop at (a path, a text
// frame's path or its point-text anchor) with its layer and its bounds, and a grid over the bounds.
// A search then asks the host only about the few objects near the point; walking the whole document
// through the host on every move is what made tracking cost grow with the document.
//
// The cache is one block of the host's memory, reached from the state record. It is made on a
// tracking event and dropped whenever the document may have changed: art changed, a document opened,
// made or closed, a tool selected or deselected, a release of the mouse, a command, or a message the
// plug-in could not take (it may have been the notification).
#pragma once

#include <cstdint>

#include "host/messages.h"

struct AnchorCacheLayer {
    LayerHandle layer;
    ArtHandle root;
    std::int32_t first;  // its candidates, [first, end) in walk order
    std::int32_t end;
};

struct AnchorCandidate {
    ArtHandle art;  // what the walk would stop at: a path or a text frame
    RealRect box;   // bounds as the host gave them, ordered: left <= right, bottom <= top
};

struct AnchorCache {
    // False for a block the host refused to free: it stays ours, unused, until it can be freed.
    bool usable;
    std::int32_t layerCount;
    std::int32_t candidateCount;
    // Grid of columns x rows cells of side cell from (left, bottom); objects that would span too many
    // cells, or whose bounds are not numbers, are in the wide list and looked at on every search.
    double left;
    double bottom;
    double cell;
    std::int32_t columns;
    std::int32_t rows;
    std::int32_t wideCount;
    std::uint32_t stamp;  // of the last search, to take each candidate once

    AnchorCacheLayer* layers;
    AnchorCandidate* candidates;
    std::int32_t* cellStart;  // columns * rows + 1 offsets into cellItems
    std::int32_t* cellItems;  // candidate indices, ascending within a cell
    std::int32_t* wide;
    std::uint32_t* seen;  // per candidate, the stamp of the search that took it
    std::int32_t* near;   // the last search's candidates
};

// Makes the cache when there is none usable, walking the document through the host. A failing call
// leaves no cache, and none is tried again until the next drop; its status is returned.
HostStatus EnsureAnchorCache();

// The cache when it may be used for the open document, else null.
AnchorCache* UsableAnchorCache();

// The document may have changed: frees the cache (a refused free keeps the block for the next try)
// and allows the next tracking event to make it again.
void DropAnchorCache();

// Shut-down: the last chance to give the block back.
void FreeAnchorCache(SPBasicSuite* basic);

// The candidates whose bounds come within reach of around (on each axis), in walk order, into
// cache.near; returns their count.
std::int32_t NearAnchorCandidates(AnchorCache& cache, const RealPoint& around, double reach);
