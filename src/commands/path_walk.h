// Walking along one path by distance, and the selection questions of the marking commands: what
// the Pointer and the Handle line commands share.
#pragma once

#include <cstdint>

#include "host/host_types.h"

// The selection questions of the marking commands.
bool PathIsSelectedForMarking(ArtHandle path);
std::int16_t AnchorSelectionForMarking(ArtHandle path, std::int16_t index);

bool ReadAnchor(ArtHandle path, std::int16_t index, AnchorRecord& anchor);

// The paint of the marks both commands draw: a stroke of the given width in gray 1.0 (black),
// miter limit 4, no fill.
PathStyle MarkingStyle(double strokeWidth);

// ---- Direction ----

// Twice-halved shoelace sum over the closed outline (curves as 128 chords); 0 for an open path.
double SignedArea(ArtHandle path);

// Clockwise outlines and open paths drawn towards smaller h (or, with both ends at one h, upwards)
// count as reversed, so that "forward" means the same way on every path.
bool PathIsReversed(ArtHandle path);

enum PointMode : std::uint16_t {
    kBothWays = 0,
    kForwardOnly = 1,
    kBackwardOnly = 2,
    kNoWay = 3,
};

// The direction mode as it applies to a reversed path: forward and backward swap.
std::uint16_t ModeForPath(std::uint16_t mode, bool reversed);

// ---- Walking along a path ----

// Where a walk found its position: on the segment from -> to (in path order), rem from `from`.
struct WalkHit {
    std::int16_t fromIndex;
    std::int16_t toIndex;
    AnchorRecord from;
    AnchorRecord to;
    double rem;
};

enum class WalkEnd {
    Reached,
    Unreached,   // an open end, or one full turn of a closed path, came first
    ReadFailed,  // the host refused an anchor or the closed flag
};

// From anchor start, segment by segment towards higher (forward) or lower (backward) indices,
// wrapping on a closed path and taking at most `count` steps, until distance p is covered.
WalkEnd WalkForward(ArtHandle path, std::int16_t count, std::int16_t start, double p, WalkHit& hit);
WalkEnd WalkBackward(ArtHandle path, std::int16_t count, std::int16_t start, double p, WalkHit& hit);

// ---- Positions on one segment ----

// The point at distance d along the segment a -> b and the direction of the path there (on a
// circular arc possibly the reverse one, which lays a pointer across it all the same); false
// beyond the segment's end.
bool PointAtDistance(const AnchorRecord& a, const AnchorRecord& b, double d, RealPoint& point, double& angle);

// The curve parameter at distance d along the segment's 256 chords; 0 beyond its end.
double ParamAtDistance(const AnchorRecord& a, const AnchorRecord& b, double d);
