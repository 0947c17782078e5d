// The arc length of one cubic segment, as every measuring command takes it.
#pragma once

#include "host/host_types.h"

// Straight: the chord; a circular arc: radius times its sweep (never more than half a circle);
// any other curve: the sum of 256 chords through the sampling tables.
double SegmentLength(const AnchorRecord& a, const AnchorRecord& b);
