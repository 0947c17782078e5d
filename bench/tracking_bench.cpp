// Cursor tracking of the adjust tools: one "AI Track Cursor" message per iteration, through the
// simulated host, over documents of 1,000 to 100,000 paths. The first event after a change walks the
// whole document through the host to make the search's cache; later events ask the host only about
// the paths near the cursor, so their cost does not grow with the count. BM_TrackAfterChange pays the
// walk on every event: the host reports changed art before each one.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "bench_host.h"
#include "document.h"
#include "shell/plugin_state.h"

namespace {

constexpr double kPitch = 20;  // squares of 10 points on a 20-point grid
constexpr double kSide = 10;

struct TrackingSetup {
    std::unique_ptr<BenchHost> bench;
    ToolHandle tool = nullptr;
    int columns = 0;
};

// A started plug-in with the Path adjust tool selected, over a document of count closed squares.
TrackingSetup MakeSetup(int count) {
    TrackingSetup setup;
    setup.bench = std::make_unique<BenchHost>();
    sim::Host& host = setup.bench->host;
    sim::Document& document = host.NewDocument();
    setup.columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    sim::Art* root = document.LayerAt(0)->root;
    for (int k = 0; k < count; ++k) {
        const double left = (k % setup.columns) * kPitch;
        const double bottom = (k / setup.columns) * kPitch;
        document.AddPath(root, {{left, bottom}, {left + kSide, bottom}, {left + kSide, bottom + kSide}, {left, bottom + kSide}},
                         true);
    }
    setup.tool = static_cast<PluginState*>(host.Globals())->pathAdjustTool;
    host.SendTool("AI Select", setup.tool);
    return setup;
}

// Two positions to alternate between (an event at the previous position does no work): on the
// corners of two squares in the middle of the document, or in the gaps beside them.
void PositionsFor(const TrackingSetup& setup, bool hit, RealPoint positions[2]) {
    const double middle = (setup.columns / 2) * kPitch;
    const double offset = hit ? 0.0 : 15.0;
    positions[0] = RealPoint{middle + offset, middle + offset};
    positions[1] = RealPoint{middle + kPitch + offset, middle + offset};
}

void Track(benchmark::State& state, bool dragging) {
    const int count = static_cast<int>(state.range(0));
    const bool hit = state.range(1) != 0;
    TrackingSetup setup = MakeSetup(count);
    sim::Host& host = setup.bench->host;
    RealPoint positions[2];
    PositionsFor(setup, hit, positions);
    if (dragging) {
        // A Path adjust drag under way from one corner: each event searches at P1 and at the cursor.
        host.SendTool("AI Track Cursor", setup.tool, RealPoint{positions[0].h, positions[0].v - kPitch});
        host.SendTool("AI Mouse Down", setup.tool, RealPoint{positions[0].h, positions[0].v - kPitch});
    }
    // Drag events go to the same handler as cursor moves; they are sent as moves here because the
    // simulated host opens an undo step, with a snapshot of the whole document, for every drag message.
    std::size_t k = 0;
    for (auto _ : state) {
        host.SendTool("AI Track Cursor", setup.tool, positions[k++ & 1]);
        // The host's records of messages and invalidations would grow without end.
        host.App().messages.clear();
        host.App().invalidations.clear();
    }
    const PluginState& plugin = *static_cast<PluginState*>(host.Globals());
    if ((plugin.snapKind == 2) != hit) state.SkipWithError("the cursor did not land as intended");
    state.counters["paths"] = count;
}

void BM_TrackCursor(benchmark::State& state) { Track(state, false); }
void BM_TrackFirstDrag(benchmark::State& state) { Track(state, true); }

void BM_TrackAfterChange(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    TrackingSetup setup = MakeSetup(count);
    sim::Host& host = setup.bench->host;
    RealPoint positions[2];
    PositionsFor(setup, state.range(1) != 0, positions);
    std::size_t k = 0;
    for (auto _ : state) {
        host.Notify("AI Art Objects Changed Notifier");
        host.SendTool("AI Track Cursor", setup.tool, positions[k++ & 1]);
        host.App().messages.clear();
        host.App().invalidations.clear();
    }
    state.counters["paths"] = count;
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
    for (int count : {1000, 10000, 100000}) {
        for (int hit : {0, 1}) benchmark->Args({count, hit});
    }
    benchmark->ArgNames({"paths", "hit"})->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_TrackCursor)->Apply(Sizes);
BENCHMARK(BM_TrackFirstDrag)->Apply(Sizes);
BENCHMARK(BM_TrackAfterChange)->Apply(Sizes);

}  // namespace
