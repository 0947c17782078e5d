// The arc length of one cubic segment, as every measuring command takes it.
#pragma once

#include "host/host_types.h"
#include "shell/plugin_state.h"

// Straight: the chord; a circular arc: radius times its sweep (never more than half a circle);
// any other curve: the sum of 256 chords through the sampling tables, added in order.
double SegmentLength(const AnchorRecord& a, const AnchorRecord& b);

// Whether SegmentLength(a, b) <= goal, told without the chord sum: for straight segments and arcs,
// and for curves far longer or far shorter than goal (by 8 of the chords, and by the control
// polygon, bounds on the sum). Unknown otherwise.
enum class LengthBound { AtMost, Above, Unknown };
LengthBound BoundSegmentLength(const AnchorRecord& a, const AnchorRecord& b, double goal);

// The 256 chords of a curve in order, each exactly as PointDistance gives it between the sample
// points, worked out in vector lanes like the sum's.
void SampleChords(const AnchorRecord& a, const AnchorRecord& b, double chords[kBezierSteps]);

// The chord sums run in vector lanes: 4 (AVX2) when the processor has them, else 2 (SSE2). Each
// chord is the same as in order; the sum may differ from the in-order sum by a few roundings.
int ChordSumLanes();
// For tests: the 2-lane sums and chords even where AVX2 is there, and back to the widest.
void UseNarrowChordSums();
void UseWidestChordSums();
