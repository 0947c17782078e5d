#include "commands/segment_length.h"

#include <cmath>

#include "geometry/geometry.h"

namespace {

constexpr double kHalfTurn = 3.141593;
constexpr double kFullTurn = 6.283186;

// The 256 chords of one curve, worked out in flat arrays so the compiler can use vector arithmetic
// (each value is computed exactly as one at a time would be).
void ChordsOf(const AnchorRecord& a, const AnchorRecord& b, double* chord) {
    double h[kBezierSteps + 1];
    double v[kBezierSteps + 1];
    h[0] = a.p.h;
    v[0] = a.p.v;
    const double* const weightA = gState->bezierA256;
    const double* const weightB = gState->bezierB256;
    for (int j = 1; j < kBezierSteps; ++j) {
        const int k = kBezierSteps - j;
        h[j] = weightA[j] * a.p.h + weightB[j] * a.out.h + weightB[k] * b.in.h + weightA[k] * b.p.h;
        v[j] = weightA[j] * a.p.v + weightB[j] * a.out.v + weightB[k] * b.in.v + weightA[k] * b.p.v;
    }
    h[kBezierSteps] = b.p.h;
    v[kBezierSteps] = b.p.v;
    for (int j = 0; j < kBezierSteps; ++j) {
        const double dh = h[j] - h[j + 1];
        const double dv = v[j] - v[j + 1];
        chord[j] = std::sqrt(dh * dh + dv * dv);
    }
}

double SampledLength(const AnchorRecord& a, const AnchorRecord& b) {
    double chord[kBezierSteps];
    ChordsOf(a, b, chord);
    double length = 0.0;
    for (double c : chord) length += c;
    return length;
}

// Each curve's chords are added in order of j, as SampledLength does; the curves' sums are
// independent, so running them side by side hides the latency of one long chain of additions.
void SampledLengths(const AnchorRecord* const* starts, const AnchorRecord* const* ends, int count,
                    double* lengths) {
    constexpr int kWidth = SegmentLengthBatch::kWidth;
    double chords[kWidth][kBezierSteps];
    for (int c = 0; c < count; ++c) ChordsOf(*starts[c], *ends[c], chords[c]);
    for (int c = count; c < kWidth; ++c) {
        for (double& chord : chords[c]) chord = 0.0;
    }
    double sums[kWidth] = {};
    for (int j = 0; j < kBezierSteps; ++j) {
        for (int c = 0; c < kWidth; ++c) sums[c] += chords[c][j];
    }
    for (int c = 0; c < count; ++c) lengths[c] = sums[c];
}

// The length when the segment is straight or a circular arc; false for any other curve.
bool ClosedFormLength(const AnchorRecord& a, const AnchorRecord& b, double& length) {
    if (SegmentIsStraight(a, b)) {
        length = PointDistance(a.p, b.p);
        return true;
    }
    RealPoint centre;
    double radius = 0.0;
    if (!SegmentIsArc(a, b, centre, radius)) return false;
    double sweep = RealAbs(PointAngle(centre, b.p) - PointAngle(centre, a.p));
    if (sweep > kHalfTurn) sweep = kFullTurn - sweep;
    length = radius * sweep;
    return true;
}

}  // namespace

double SegmentLength(const AnchorRecord& a, const AnchorRecord& b) {
    double length = 0.0;
    return ClosedFormLength(a, b, length) ? length : SampledLength(a, b);
}

void SegmentLengthBatch::Add(const AnchorRecord& a, const AnchorRecord& b) {
    Slot& slot = slots_[queued_++];
    slot.sampled = !ClosedFormLength(a, b, slot.length);
    if (slot.sampled) {
        slot.a = a;
        slot.b = b;
    }
    if (queued_ == kWidth) Flush();
}

double SegmentLengthBatch::Flush() {
    const AnchorRecord* starts[kWidth] = {};
    const AnchorRecord* ends[kWidth] = {};
    double lengths[kWidth];
    int sampled = 0;
    for (int i = 0; i < queued_; ++i) {
        if (!slots_[i].sampled) continue;
        starts[sampled] = &slots_[i].a;
        ends[sampled] = &slots_[i].b;
        ++sampled;
    }
    SampledLengths(starts, ends, sampled, lengths);
    for (int i = 0, s = 0; i < queued_; ++i) total_ += slots_[i].sampled ? lengths[s++] : slots_[i].length;
    queued_ = 0;
    return total_;
}
