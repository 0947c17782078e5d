#include "commands/segment_length.h"

#include <cmath>

#if defined(__x86_64__) || defined(_M_X64)
#include <immintrin.h>
#endif

#include "geometry/geometry.h"

namespace {

constexpr double kHalfTurn = 3.141593;
constexpr double kFullTurn = 6.283186;

// The sum of the 256 chords of one curve. Every sample point and every chord is computed exactly as
// one at a time would be (the same products and sums, no fused multiply-add); only the chords are
// added in vector lanes, so a length differs from the in-order sum by a few roundings.
using ChordSum = double (*)(const AnchorRecord& a, const AnchorRecord& b);
using ChordStore = void (*)(const AnchorRecord& a, const AnchorRecord& b, double* chords);

#if defined(__x86_64__) || defined(_M_X64)

// The control points, each coordinate in every lane.
struct Lanes2 {
    __m128d p0h, p1h, p2h, p3h, p0v, p1v, p2v, p3v;
};

// Sample points j and j + 1: ((A[j] P0 + B[j] P1) + B[k] P2) + A[k] P3 with k = 256 - j, as in order.
inline void Points2(const Lanes2& c, int j, __m128d& h, __m128d& v) {
    const __m128d wa = _mm_loadu_pd(gState->bezierA256 + j);
    const __m128d wb = _mm_loadu_pd(gState->bezierB256 + j);
    const __m128d wbk = _mm_loadu_pd(gState->bezierB256Reversed + j);
    const __m128d wak = _mm_loadu_pd(gState->bezierA256Reversed + j);
    h = _mm_add_pd(_mm_add_pd(_mm_add_pd(_mm_mul_pd(wa, c.p0h), _mm_mul_pd(wb, c.p1h)), _mm_mul_pd(wbk, c.p2h)),
                   _mm_mul_pd(wak, c.p3h));
    v = _mm_add_pd(_mm_add_pd(_mm_add_pd(_mm_mul_pd(wa, c.p0v), _mm_mul_pd(wb, c.p1v)), _mm_mul_pd(wbk, c.p2v)),
                   _mm_mul_pd(wak, c.p3v));
}

inline __m128d Chords2(__m128d h, __m128d v, __m128d nextH, __m128d nextV) {
    const __m128d dh = _mm_sub_pd(h, nextH);
    const __m128d dv = _mm_sub_pd(v, nextV);
    return _mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(dh, dh), _mm_mul_pd(dv, dv)));
}

// Every chord in order, 2 lanes at a time (SSE2, which every x86-64 processor has): sink(j, chords)
// gets chords j and j + 1, counted from 0.
template <typename Sink>
inline void ChordPairs(const AnchorRecord& a, const AnchorRecord& b, Sink&& sink) {
    const Lanes2 c{_mm_set1_pd(a.p.h),  _mm_set1_pd(a.out.h), _mm_set1_pd(b.in.h), _mm_set1_pd(b.p.h),
                   _mm_set1_pd(a.p.v),  _mm_set1_pd(a.out.v), _mm_set1_pd(b.in.v), _mm_set1_pd(b.p.v)};
    __m128d h, v;
    Points2(c, 0, h, v);
    // The ends are the anchors themselves.
    h = _mm_move_sd(h, c.p0h);
    v = _mm_move_sd(v, c.p0v);
    for (int j = 2; j < kBezierSteps; j += 2) {
        __m128d nextH, nextV;
        Points2(c, j, nextH, nextV);
        sink(j - 2, Chords2(h, v, _mm_shuffle_pd(h, nextH, 1), _mm_shuffle_pd(v, nextV, 1)));
        h = nextH;
        v = nextV;
    }
    sink(kBezierSteps - 2, Chords2(h, v, _mm_shuffle_pd(h, c.p3h, 1), _mm_shuffle_pd(v, c.p3v, 1)));
}

double ChordSumSse2(const AnchorRecord& a, const AnchorRecord& b) {
    __m128d sum = _mm_setzero_pd();
    ChordPairs(a, b, [&sum](int, __m128d chords) { sum = _mm_add_pd(sum, chords); });
    return _mm_cvtsd_f64(_mm_add_sd(sum, _mm_unpackhi_pd(sum, sum)));
}

void StoreChordsSse2(const AnchorRecord& a, const AnchorRecord& b, double* chords) {
    ChordPairs(a, b, [chords](int j, __m128d pair) { _mm_storeu_pd(chords + j, pair); });
}

#define KELVANE_AVX2 __attribute__((target("avx2")))

struct Lanes4 {
    __m256d p0h, p1h, p2h, p3h, p0v, p1v, p2v, p3v;
};

// Points through the four weights of each lane: ((A P0 + B P1) + Bk P2) + Ak P3, as in order.
KELVANE_AVX2 inline void Points4(const Lanes4& c, __m256d wa, __m256d wb, __m256d wbk, __m256d wak, __m256d& h,
                                 __m256d& v) {
    h = _mm256_add_pd(
        _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(wa, c.p0h), _mm256_mul_pd(wb, c.p1h)), _mm256_mul_pd(wbk, c.p2h)),
        _mm256_mul_pd(wak, c.p3h));
    v = _mm256_add_pd(
        _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(wa, c.p0v), _mm256_mul_pd(wb, c.p1v)), _mm256_mul_pd(wbk, c.p2v)),
        _mm256_mul_pd(wak, c.p3v));
}

// Sample points j to j + 3.
KELVANE_AVX2 inline void ConsecutivePoints4(const Lanes4& c, int j, __m256d& h, __m256d& v) {
    Points4(c, _mm256_loadu_pd(gState->bezierA256 + j), _mm256_loadu_pd(gState->bezierB256 + j),
            _mm256_loadu_pd(gState->bezierB256Reversed + j), _mm256_loadu_pd(gState->bezierA256Reversed + j), h, v);
}

// Sample points row, row + 64, row + 128 and row + 192.
KELVANE_AVX2 inline void QuarterPoints4(const Lanes4& c, int row, __m256d& h, __m256d& v) {
    const double* const weights = gState->bezierQuarterRows[row];
    Points4(c, _mm256_loadu_pd(weights), _mm256_loadu_pd(weights + 4), _mm256_loadu_pd(weights + 8),
            _mm256_loadu_pd(weights + 12), h, v);
}

KELVANE_AVX2 inline __m256d Chords4(__m256d h, __m256d v, __m256d nextH, __m256d nextV) {
    const __m256d dh = _mm256_sub_pd(h, nextH);
    const __m256d dv = _mm256_sub_pd(v, nextV);
    return _mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(dh, dh), _mm256_mul_pd(dv, dv)));
}

// Lanes 1, 2, 3 of x and lane 0 of next: the points one step further on.
KELVANE_AVX2 inline __m256d Shifted4(__m256d x, __m256d next) {
    return _mm256_shuffle_pd(x, _mm256_permute2f128_pd(x, next, 0x21), 0x5);
}

KELVANE_AVX2 inline Lanes4 ControlLanes4(const AnchorRecord& a, const AnchorRecord& b) {
    return Lanes4{_mm256_set1_pd(a.p.h), _mm256_set1_pd(a.out.h), _mm256_set1_pd(b.in.h), _mm256_set1_pd(b.p.h),
                  _mm256_set1_pd(a.p.v), _mm256_set1_pd(a.out.v), _mm256_set1_pd(b.in.v), _mm256_set1_pd(b.p.v)};
}

// AVX2, where the processor has it, without FMA, so that every product is rounded as in order. Each
// lane adds up its own quarter of the chords (lane k from sample 64k to 64k + 64): a chord's two
// ends are then in one lane of consecutive rows, and no lane has to be shifted.
KELVANE_AVX2 double ChordSumAvx2(const AnchorRecord& a, const AnchorRecord& b) {
    constexpr int kLastRow = kBezierSteps / 4;
    const Lanes4 c = ControlLanes4(a, b);
    __m256d h, v;
    QuarterPoints4(c, 0, h, v);
    h = _mm256_blend_pd(h, c.p0h, 1);  // the ends are the anchors themselves
    v = _mm256_blend_pd(v, c.p0v, 1);
    __m256d sum = _mm256_setzero_pd();
    for (int row = 1; row < kLastRow; ++row) {
        __m256d nextH, nextV;
        QuarterPoints4(c, row, nextH, nextV);
        sum = _mm256_add_pd(sum, Chords4(h, v, nextH, nextV));
        h = nextH;
        v = nextV;
    }
    __m256d endH, endV;
    QuarterPoints4(c, kLastRow, endH, endV);
    sum = _mm256_add_pd(sum, Chords4(h, v, _mm256_blend_pd(endH, c.p3h, 8), _mm256_blend_pd(endV, c.p3v, 8)));
    const __m128d half = _mm_add_pd(_mm256_castpd256_pd128(sum), _mm256_extractf128_pd(sum, 1));
    return _mm_cvtsd_f64(_mm_add_sd(half, _mm_unpackhi_pd(half, half)));
}

// Every chord in order, 4 at a time.
KELVANE_AVX2 void StoreChordsAvx2(const AnchorRecord& a, const AnchorRecord& b, double* chords) {
    const Lanes4 c = ControlLanes4(a, b);
    __m256d h, v;
    ConsecutivePoints4(c, 0, h, v);
    h = _mm256_blend_pd(h, c.p0h, 1);
    v = _mm256_blend_pd(v, c.p0v, 1);
    for (int j = 4; j < kBezierSteps; j += 4) {
        __m256d nextH, nextV;
        ConsecutivePoints4(c, j, nextH, nextV);
        _mm256_storeu_pd(chords + j - 4, Chords4(h, v, Shifted4(h, nextH), Shifted4(v, nextV)));
        h = nextH;
        v = nextV;
    }
    _mm256_storeu_pd(chords + kBezierSteps - 4, Chords4(h, v, Shifted4(h, c.p3h), Shifted4(v, c.p3v)));
}

bool HasAvx2() {
    __builtin_cpu_init();  // may run before the library's constructors
    return __builtin_cpu_supports("avx2");
}

ChordSum WidestChordSum() { return HasAvx2() ? ChordSumAvx2 : ChordSumSse2; }
ChordStore WidestChordStore() { return HasAvx2() ? StoreChordsAvx2 : StoreChordsSse2; }

#else

double ChordSumInOrder(const AnchorRecord& a, const AnchorRecord& b) {
    const double* const weightA = gState->bezierA256;
    const double* const weightB = gState->bezierB256;
    double length = 0.0;
    double h = a.p.h;
    double v = a.p.v;
    for (int j = 1; j <= kBezierSteps; ++j) {
        const int k = kBezierSteps - j;
        const double nh = j < kBezierSteps ? weightA[j] * a.p.h + weightB[j] * a.out.h + weightB[k] * b.in.h +
                                                 weightA[k] * b.p.h
                                           : b.p.h;
        const double nv = j < kBezierSteps ? weightA[j] * a.p.v + weightB[j] * a.out.v + weightB[k] * b.in.v +
                                                 weightA[k] * b.p.v
                                           : b.p.v;
        length += std::sqrt((h - nh) * (h - nh) + (v - nv) * (v - nv));
        h = nh;
        v = nv;
    }
    return length;
}

void StoreChordsInOrder(const AnchorRecord& a, const AnchorRecord& b, double* chords) {
    RealPoint previous = a.p;
    for (int j = 1; j <= kBezierSteps; ++j) {
        const RealPoint next = j < kBezierSteps ? BezierPoint(a, b, j) : b.p;
        chords[j - 1] = PointDistance(previous, next);
        previous = next;
    }
}

ChordSum WidestChordSum() { return ChordSumInOrder; }
ChordStore WidestChordStore() { return StoreChordsInOrder; }

#endif

// Chosen when the library loads, before any thread measures.
ChordSum gChordSum = WidestChordSum();
ChordStore gChordStore = WidestChordStore();

double SampledLength(const AnchorRecord& a, const AnchorRecord& b) { return gChordSum(a, b); }

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

// A bound is trusted only beyond this share of itself (and, for the polygon, of the coordinates'
// size): far more than the roundings of the sums and sample points it is compared with.
constexpr double kBoundMargin = 1e-9;
constexpr int kBoundStride = kBezierSteps / 8;

// 8 of the 256 chords' sample points, computed as the chord sum computes them: their chords can
// only add up to less (each skips points in between).
double EighthChordSum(const AnchorRecord& a, const AnchorRecord& b) {
    const double* const weightA = gState->bezierA256;
    const double* const weightB = gState->bezierB256;
    double length = 0.0;
    RealPoint last = a.p;
    for (int j = kBoundStride; j <= kBezierSteps; j += kBoundStride) {
        const int k = kBezierSteps - j;
        const RealPoint next =
            j < kBezierSteps
                ? RealPoint{weightA[j] * a.p.h + weightB[j] * a.out.h + weightB[k] * b.in.h + weightA[k] * b.p.h,
                            weightA[j] * a.p.v + weightB[j] * a.out.v + weightB[k] * b.in.v + weightA[k] * b.p.v}
                : b.p;
        length += PointDistance(last, next);
        last = next;
    }
    return length;
}

}  // namespace

double SegmentLength(const AnchorRecord& a, const AnchorRecord& b) {
    double length = 0.0;
    return ClosedFormLength(a, b, length) ? length : SampledLength(a, b);
}

LengthBound BoundSegmentLength(const AnchorRecord& a, const AnchorRecord& b, double goal) {
    double length = 0.0;
    if (ClosedFormLength(a, b, length)) return goal >= length ? LengthBound::AtMost : LengthBound::Above;
    if (goal < EighthChordSum(a, b) * (1 - kBoundMargin)) return LengthBound::Above;
    // A curve is no longer than its control polygon, nor is any sum of its chords.
    const double polygon = PointDistance(a.p, a.out) + PointDistance(a.out, b.in) + PointDistance(b.in, b.p);
    const double size = RealAbs(a.p.h) + RealAbs(a.p.v) + RealAbs(a.out.h) + RealAbs(a.out.v) + RealAbs(b.in.h) +
                        RealAbs(b.in.v) + RealAbs(b.p.h) + RealAbs(b.p.v);
    if (goal >= polygon * (1 + kBoundMargin) + size * kBoundMargin) return LengthBound::AtMost;
    return LengthBound::Unknown;
}

void SampleChords(const AnchorRecord& a, const AnchorRecord& b, double chords[kBezierSteps]) { gChordStore(a, b, chords); }

int ChordSumLanes() {
#if defined(__x86_64__) || defined(_M_X64)
    return gChordSum == ChordSumAvx2 ? 4 : 2;
#else
    return 1;
#endif
}

void UseNarrowChordSums() {
#if defined(__x86_64__) || defined(_M_X64)
    gChordSum = ChordSumSse2;
    gChordStore = StoreChordsSse2;
#endif
}

void UseWidestChordSums() {
    gChordSum = WidestChordSum();
    gChordStore = WidestChordStore();
}
