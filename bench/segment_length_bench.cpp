// Measuring single segments: the cost the peers' length functions are compared with.
#include <benchmark/benchmark.h>

#include "bench_host.h"
#include "commands/segment_length.h"
#include "curve_set.h"

namespace {

void BM_SegmentLength(benchmark::State& state) {
    BenchHost bench;
    const std::vector<BenchCurve> curves = MakeBenchCurves(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        double total = 0;
        for (const BenchCurve& curve : curves) total += SegmentLength(curve.start, curve.end);
        benchmark::DoNotOptimize(total);
    }
    // Seconds per segment (printed with an SI prefix, e.g. 700n).
    state.counters["per_segment"] = benchmark::Counter(
        static_cast<double>(curves.size()), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SegmentLength)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
