// The arc length of one cubic segment, as every measuring command takes it.
#pragma once

#include "host/host_types.h"

// Straight: the chord; a circular arc: radius times its sweep (never more than half a circle);
// any other curve: the sum of 256 chords through the sampling tables, added in order.
double SegmentLength(const AnchorRecord& a, const AnchorRecord& b);

// Measures many segments, each exactly as SegmentLength would: the readout's hot path. Segments are
// queued and measured a few at a time, so the in-order chord sums of several curves run side by side.
class SegmentLengthBatch {
public:
    // Queues the segment; its length is in the total from Flush on.
    void Add(const AnchorRecord& a, const AnchorRecord& b);
    // Measures what is queued and gives the total of every segment added, in the order added.
    double Flush();

    static constexpr int kWidth = 4;

private:
    struct Slot {
        bool sampled;   // a curve to measure by its chords; otherwise length is known
        double length;
        AnchorRecord a;
        AnchorRecord b;
    };
    Slot slots_[kWidth];
    int queued_ = 0;
    double total_ = 0.0;
};
