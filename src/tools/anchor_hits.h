// The anchor search of the adjust tools: which anchors of which objects lie under a point.
#pragma once

#include "host/host_types.h"
#include "shell/plugin_state.h"

constexpr int kMaxAnchorHits = 5;
// The bounds the search asks of a path (without its stroke), and the anchor cache files it by.
constexpr std::int32_t kAnchorSearchBounds = 2;

// Result kinds of a search (the state's snapKind): none yet, a free point, on an anchor.
constexpr std::int16_t kSnapNone = 0;
constexpr std::int16_t kSnapFree = 1;
constexpr std::int16_t kSnapOnAnchor = 2;

using AnchorHitList = AnchorHit[kMaxAnchorHits];

// The picking square of one search: the view tolerance, asked of the host once per search rather
// than once per path, and the inset that grows a path's bounds by it (single precision, as the
// host's rectangle inset takes it).
struct PickTolerance {
    double tolerance;
    double inset;
};
PickTolerance CurrentPickTolerance();

// Searches the visible layers in order for anchors within the tolerance of point: one hit per path,
// at most five, no layer after the first that gave a hit. The first hit moves point onto its anchor
// and sets kind to kSnapOnAnchor. hits gets the hits found, the rest {null, none}. A host error ends
// the search with what was found; its status is returned.
HostStatus FindAnchorHits(RealPoint& point, std::int16_t& kind, AnchorHitList& hits);

// One art and what is inside it, adding to hits[0..count).
HostStatus CollectAnchorHits(ArtHandle art, RealPoint& point, std::int16_t& kind, int& count, AnchorHit* hits,
                             const PickTolerance& pick);
