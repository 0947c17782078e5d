// The measuring and marking commands through the plug-in, as the host runs them: the live length
// readout over a large selection, a Length change and Pointer with division. Each is reported per
// segment (or per path) so the figures compare across sizes.
#include <benchmark/benchmark.h>

#include <stdexcept>
#include <vector>

#include "curve_set.h"
#include "document.h"
#include "host.h"
#include "shell/commands.h"
#include "shell/plugin_state.h"

namespace {

class CommandBench {
public:
    CommandBench() {
        if (host.Startup() != kNoError) throw std::runtime_error("the plug-in did not start");
        State().language = kEnglish;
    }
    ~CommandBench() { host.Shutdown(); }

    PluginState& State() { return *static_cast<PluginState*>(host.Globals()); }

    // segmentsPerPath curved segments in each of `paths` paths, every one selected.
    sim::Document& CurvesDocument(std::size_t paths, std::size_t segmentsPerPath) {
        sim::Document& doc = host.NewDocument();
        const std::vector<BenchCurve> curves = MakeBenchCurves(paths * segmentsPerPath);
        for (std::size_t p = 0; p < paths; ++p) {
            // Each curve of the set is moved so that it starts where the one before it ended.
            std::vector<AnchorRecord> anchors{curves[p * segmentsPerPath].start};
            for (std::size_t s = 0; s < segmentsPerPath; ++s) {
                const BenchCurve& curve = curves[p * segmentsPerPath + s];
                const RealPoint shift{anchors.back().p.h - curve.start.p.h, anchors.back().p.v - curve.start.p.v};
                const auto moved = [&shift](const RealPoint& point) {
                    return RealPoint{point.h + shift.h, point.v + shift.v};
                };
                anchors.back().out = moved(curve.start.out);
                anchors.push_back(AnchorRecord{moved(curve.end.p), moved(curve.end.in), moved(curve.end.p), false});
            }
            doc.SelectWhole(doc.AddCurve(doc.LayerAt(0)->root, anchors));
        }
        return doc;
    }

    void Play(std::uint16_t id) {
        State().commandId = id;
        host.PlayAction("KELVANE_INSIDECMD", 3, nullptr);
    }

    sim::Host host;
};

void PerItem(benchmark::State& state, double items) {
    state.counters["per_segment"] =
        benchmark::Counter(items, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The live readout: the total length of every selected segment, asked of the host each time.
void BM_MeasureSelection(benchmark::State& state) {
    CommandBench bench;
    const auto segments = static_cast<std::size_t>(state.range(0));
    bench.CurvesDocument(segments / 10, 10);
    for (auto _ : state) {
        bench.State().lengthAdjustStage = 0;
        bench.Play(kCommandLengthReadout);
        benchmark::DoNotOptimize(bench.State().measuredLength);
    }
    PerItem(state, static_cast<double>(segments));
}
BENCHMARK(BM_MeasureSelection)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A typed length for 10,000 selected curves: measuring, the floor ratios and 10,000 fits.
void BM_LengthRun(benchmark::State& state) {
    CommandBench bench;
    const auto segments = static_cast<std::size_t>(state.range(0));
    bench.CurvesDocument(segments / 10, 10);
    bench.State().lengthAdjustStage = 0;
    bench.Play(kCommandLengthReadout);
    const double measured = bench.State().measuredLength;
    bool longer = true;
    for (auto _ : state) {
        bench.State().lengthAdjustStage = 0;  // each run starts a fresh run of changes
        bench.State().typedLength = measured * (longer ? 1.05 : 0.95);
        longer = !longer;
        bench.Play(kCommandLengthTyped);
    }
    PerItem(state, static_cast<double>(segments));
}
BENCHMARK(BM_LengthRun)->Arg(10000)->Unit(benchmark::kMillisecond);

// Pointers and division from the first anchor of each of 10,000 selected paths.
void BM_PointerWithDivide(benchmark::State& state) {
    CommandBench bench;
    const auto paths = static_cast<std::size_t>(state.range(0));
    bench.State().flCreatePointer = 1;
    bench.State().flDivideSegment = 1;
    bench.State().flPtCount = 3;
    for (auto _ : state) {
        state.PauseTiming();  // division adds anchors: every run gets the document as it was
        bench.CurvesDocument(paths, 4);
        state.ResumeTiming();
        bench.Play(kCommandPointer);
    }
    PerItem(state, static_cast<double>(paths));
}
BENCHMARK(BM_PointerWithDivide)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
