// The benchmarks' main: Google Benchmark's console output, then for each family run at n and at 4n
// how many times longer the larger run took (CPU time per run). A linear command shows about 4.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

class GrowthReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration || run.run_name.args.empty()) continue;
            char* end = nullptr;
            const double n = std::strtod(run.run_name.args.c_str(), &end);
            if (end == nullptr || *end != '\0') continue;  // one numeric argument only
            times_[run.run_name.function_name][n] = run.GetAdjustedCPUTime();
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        bool header = false;
        for (const auto& [family, bySize] : times_) {
            for (const auto& [n, time] : bySize) {
                const auto larger = bySize.find(4 * n);
                if (larger == bySize.end() || time <= 0) continue;
                if (!header) {
                    std::printf("\n%-34s %10s %10s %12s\n", "growth when the work grows 4x", "n", "4n", "time 4n / n");
                    header = true;
                }
                std::printf("%-34s %10.0f %10.0f %12.2f\n", family.c_str(), n, 4 * n, larger->second / time);
            }
        }
        std::fflush(stdout);
    }

private:
    std::map<std::string, std::map<double, double>> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    GrowthReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
