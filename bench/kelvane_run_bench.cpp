// kelvane's whole run (read the SVG, run a command, report it, write the SVG) on N and 4N selected
// paths of two curves each. The "growth" counter is the time of 4N over that of N: about 4 when
// the run grows linearly. Times are the process's CPU time, which other work on the machine skews less.
#include <benchmark/benchmark.h>

#include <ctime>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "run_command.h"

namespace {

std::string Drawing(int paths) {
    std::mt19937 random(static_cast<unsigned>(paths));
    std::uniform_real_distribution<double> place(0, 1900), reach(0, 100);
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "xmlns:kv=\"https://kelvane.example/ns\" width=\"2000pt\" height=\"2000pt\" viewBox=\"0 0 2000 2000\">\n"
        "<g id=\"layer1\">\n";
    char path[320];
    for (int i = 0; i < paths; ++i) {
        const double x = place(random), y = place(random);
        double d[12];
        for (double& value : d) value = reach(random);
        std::snprintf(path, sizeof path,
                      "<path d=\"M %.2f %.2f C %.2f %.2f %.2f %.2f %.2f %.2f C %.2f %.2f %.2f %.2f %.2f %.2f\" "
                      "stroke=\"#000\" fill=\"none\" kv:selected=\"true\"/>\n",
                      x, y, x + d[0], y + d[1], x + d[2], y + d[3], x + d[4], y + d[5], x + d[6], y + d[7],
                      x + d[8], y + d[9], x + d[10], y + d[11]);
        svg += path;
    }
    return svg + "</g>\n</svg>\n";
}

double SecondsOf(const std::string& drawing, const std::vector<std::string>& command) {
    std::vector<std::string> args{"-", "-o", "-", "--lang", "en"};
    args.insert(args.end(), command.begin(), command.end());
    std::istringstream in(drawing);
    std::ostringstream out, err;
    const std::clock_t start = std::clock();
    RunDocumentCommands(args, in, out, err);
    const std::clock_t end = std::clock();
    benchmark::DoNotOptimize(out.str().size());
    return static_cast<double>(end - start) / CLOCKS_PER_SEC;
}

void Growth(benchmark::State& state, const std::vector<std::string>& command) {
    const int paths = static_cast<int>(state.range(0));
    const std::string small = Drawing(paths), large = Drawing(4 * paths);
    double smallTime = 0, largeTime = 0;
    for (auto _ : state) {
        const double a = SecondsOf(small, command), b = SecondsOf(large, command);
        smallTime += a;
        largeTime += b;
        state.SetIterationTime(a + b);
    }
    state.counters["growth"] = largeTime / smallTime;
    state.counters["us_per_path_4N"] = 1e6 * largeTime / static_cast<double>(state.iterations()) / (4.0 * paths);
}

void BM_RunPointerDivide(benchmark::State& state) { Growth(state, {"pointer", "divide=on"}); }
void BM_RunHandles(benchmark::State& state) { Growth(state, {"handles"}); }
void BM_RunMeasureSlider(benchmark::State& state) { Growth(state, {"measure", "slider", "4"}); }

BENCHMARK(BM_RunPointerDivide)->Arg(2000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_RunHandles)->Arg(2000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_RunMeasureSlider)->Arg(2000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
