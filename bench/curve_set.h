// The curves every benchmark measures: the same deterministic set for our code and for the peers.
#pragma once

#include <cstdint>
#include <vector>

#include "host/host_types.h"

struct BenchCurve {
    AnchorRecord start;  // P0 = start.p, P1 = start.out
    AnchorRecord end;    // P2 = end.in, P3 = end.p
};

// count curved segments with control points in a 500-point square; the same seed gives the same set.
inline std::vector<BenchCurve> MakeBenchCurves(std::size_t count, std::uint64_t seed = 20261205) {
    std::uint64_t state = seed;
    auto next = [&state] {  // 64-bit LCG, top bits as a fraction
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) / 9007199254740992.0 * 500.0;
    };
    std::vector<BenchCurve> curves(count);
    for (BenchCurve& curve : curves) {
        const RealPoint p0{next(), next()}, p1{next(), next()}, p2{next(), next()}, p3{next(), next()};
        curve.start = AnchorRecord{p0, p0, p1, false};
        curve.end = AnchorRecord{p3, p2, p3, false};
    }
    return curves;
}
