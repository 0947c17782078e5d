// The measuring and marking commands through the plug-in, as the host runs them: the live length
// readout over a large selection, a Length change and Pointer with division. Each is reported per
// segment (or per path) so the figures compare across sizes. The BM_Grow families run every command
// at a size and at four times that size; bench_main.cpp prints how much the time grew.
#include <benchmark/benchmark.h>

#include <cmath>

#include <cstdint>
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

    // count straight two-anchor paths, every one selected, in a square that grows with the count so
    // that the lines keep their density.
    sim::Document& LinesDocument(std::size_t count) {
        sim::Document& doc = host.NewDocument();
        const std::vector<BenchCurve> curves = MakeBenchCurves(count);
        const double scale = std::sqrt(static_cast<double>(count) / 100.0);
        for (const BenchCurve& curve : curves) {
            const RealPoint a{curve.start.p.h * scale, curve.start.p.v * scale};
            const RealPoint b{curve.start.out.h * scale, curve.start.out.v * scale};
            doc.SelectWhole(doc.AddPath(doc.LayerAt(0)->root, {a, b}));
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

// ---- Growth: each command at n and at 4n ----

constexpr std::size_t kSegmentsPerPath = 10;

// The live readout over n selected curves (at 40,000 it must fit in one 60 Hz frame).
void BM_Grow_Readout(benchmark::State& state) {
    CommandBench bench;
    bench.CurvesDocument(static_cast<std::size_t>(state.range(0)) / kSegmentsPerPath, kSegmentsPerPath);
    for (auto _ : state) {
        bench.State().lengthAdjustStage = 0;
        bench.Play(kCommandLengthReadout);
        benchmark::DoNotOptimize(bench.State().measuredLength);
    }
}
BENCHMARK(BM_Grow_Readout)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

// Measure: the button's first measurement, saving nothing.
void BM_Grow_LengthMeasure(benchmark::State& state) {
    CommandBench bench;
    bench.CurvesDocument(static_cast<std::size_t>(state.range(0)) / kSegmentsPerPath, kSegmentsPerPath);
    for (auto _ : state) {
        bench.State().lengthAdjustStage = 0;
        bench.State().measuredLength = -1;  // always a new value to show
        bench.Play(kCommandLengthReadout);
    }
}
BENCHMARK(BM_Grow_LengthMeasure)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);

// A typed length: the selection saved, measured, fitted, then put back by the readout.
void BM_Grow_LengthTyped(benchmark::State& state) {
    CommandBench bench;
    bench.CurvesDocument(static_cast<std::size_t>(state.range(0)) / kSegmentsPerPath, kSegmentsPerPath);
    bench.State().lengthAdjustStage = 0;
    bench.Play(kCommandLengthReadout);
    const double measured = bench.State().measuredLength;
    bool longer = true;
    for (auto _ : state) {
        bench.State().lengthAdjustStage = 0;
        bench.State().typedLength = measured * (longer ? 1.05 : 0.95);
        longer = !longer;
        bench.Play(kCommandLengthTyped);
        bench.Play(kCommandLengthReadout);  // taken as the change's own
        bench.Play(kCommandLengthReadout);  // the run ends: the saved selection goes back
    }
}
BENCHMARK(BM_Grow_LengthTyped)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);

// A slider drag: a first change and three follow-ups, each undoing the one before.
void BM_Grow_LengthSlider(benchmark::State& state) {
    CommandBench bench;
    bench.CurvesDocument(static_cast<std::size_t>(state.range(0)) / kSegmentsPerPath, kSegmentsPerPath);
    bench.State().lengthAdjustStage = 0;
    bench.Play(kCommandLengthReadout);
    const double measured = bench.State().measuredLength;
    for (auto _ : state) {
        bench.State().lengthAdjustStage = 0;
        bench.State().measuredLength = measured;
        for (const int position : {20, 10, -10, -20}) {
            bench.State().lengthSliderPos = position;
            bench.Play(kCommandLengthSlider);
        }
    }
}
BENCHMARK(BM_Grow_LengthSlider)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);

// Pointer from every anchor of n/4 selected paths of four curves; divide adds the anchors as well.
void PointerRun(benchmark::State& state, bool divide) {
    CommandBench bench;
    const auto paths = static_cast<std::size_t>(state.range(0)) / 4;
    bench.State().flCreatePointer = divide ? 0 : 1;
    bench.State().flDivideSegment = divide ? 1 : 0;
    bench.State().flPtCount = 3;
    for (auto _ : state) {
        state.PauseTiming();  // both add to the document: every run gets it as it was
        bench.CurvesDocument(paths, 4);
        state.ResumeTiming();
        bench.Play(kCommandPointer);
    }
}
void BM_Grow_Pointer(benchmark::State& state) { PointerRun(state, false); }
void BM_Grow_PointerDivide(benchmark::State& state) { PointerRun(state, true); }
BENCHMARK(BM_Grow_Pointer)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Grow_PointerDivide)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);

// Divide on one long path, every anchor selected: the starts' indices move with each insertion.
void BM_Grow_PointerDivideOnePath(benchmark::State& state) {
    CommandBench bench;
    bench.State().flCreatePointer = 0;
    bench.State().flDivideSegment = 1;
    bench.State().flPtCount = 1;
    for (auto _ : state) {
        state.PauseTiming();
        bench.CurvesDocument(1, static_cast<std::size_t>(state.range(0)));
        state.ResumeTiming();
        bench.Play(kCommandPointer);
    }
}
BENCHMARK(BM_Grow_PointerDivideOnePath)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);

// Handle lines of every anchor of n/4 selected paths of four curves.
void BM_Grow_HandleLine(benchmark::State& state) {
    CommandBench bench;
    const auto paths = static_cast<std::size_t>(state.range(0)) / 4;
    for (auto _ : state) {
        state.PauseTiming();
        bench.CurvesDocument(paths, 4);
        state.ResumeTiming();
        bench.Play(kCommandHandleLine);
    }
}
BENCHMARK(BM_Grow_HandleLine)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);

// n selected straight lines paired and joined.
void LineRun(benchmark::State& state, std::uint16_t command) {
    CommandBench bench;
    for (auto _ : state) {
        state.PauseTiming();  // the new paths join the document
        bench.LinesDocument(static_cast<std::size_t>(state.range(0)));
        state.ResumeTiming();
        bench.Play(command);
    }
}
void BM_Grow_AngleBisector(benchmark::State& state) { LineRun(state, kCommandAngleBisector); }
void BM_Grow_ExtensionCrossing(benchmark::State& state) { LineRun(state, kCommandExtensionCrossing); }
BENCHMARK(BM_Grow_AngleBisector)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Grow_ExtensionCrossing)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace
