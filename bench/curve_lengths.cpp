// Writes the benchmark curves and our length of each as JSON, for the peers' script to compare.
#include <cstdio>
#include <cstdlib>

#include "bench_host.h"
#include "commands/segment_length.h"
#include "curve_set.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: curve_lengths COUNT OUT.json\n");
        return 2;
    }
    const std::vector<BenchCurve> curves = MakeBenchCurves(std::strtoul(argv[1], nullptr, 10));
    std::FILE* out = std::fopen(argv[2], "w");
    if (out == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    BenchHost bench;
    std::fprintf(out, "{\"curves\":[");
    for (std::size_t i = 0; i < curves.size(); ++i) {
        const BenchCurve& c = curves[i];
        std::fprintf(out, "%s[%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g]", i ? "," : "", c.start.p.h, c.start.p.v,
                     c.start.out.h, c.start.out.v, c.end.in.h, c.end.in.v, c.end.p.h, c.end.p.v);
    }
    std::fprintf(out, "],\"ours\":[");
    for (std::size_t i = 0; i < curves.size(); ++i) {
        std::fprintf(out, "%s%.17g", i ? "," : "", SegmentLength(curves[i].start, curves[i].end));
    }
    std::fprintf(out, "]}\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
