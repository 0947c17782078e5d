#!/usr/bin/env bash
# The benchmarks of the Windows build (MinGW-w64, Release) run under Wine, beside the same
# benchmarks of the native Release build on this machine:
#
#   bench/run_windows.sh [GOOGLE BENCHMARK OPTIONS...]      e.g. --benchmark_filter=BM_Grow
#
# Windows: build/wbench-windows, with KELVANE_BENCH=ON (Google Benchmark built from the sources that
# scripts/setup.sh unpacks in /usr/src/benchmark) and a Wine prefix of its own made there on the
# first run. Native: build/wbench-native. The command line's benchmarks are native only.
# Output: both JSON files and build/wbench-windows/side_by_side.txt (CPU times of both, the ratio,
# the growth of each family run at n and 4n).
# Environment: JOBS (parallel build jobs, default nproc); KELVANE_NATIVE_JSON, a native run's JSON
# (bench/run.sh with KELVANE_BENCH_BUILD=build/wbench-native writes one) to compare with instead of
# running the native benchmarks here.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}
windows=$root/build/wbench-windows
native=$root/build/wbench-native

bash scripts/setup.sh
nice cmake -S . -B "$windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DKELVANE_TESTS=OFF -DKELVANE_BENCH=ON >/dev/null
nice cmake --build "$windows" -j "$jobs" --target kelvane_bench

native_json=${KELVANE_NATIVE_JSON:-}
if [[ -z $native_json ]]; then
    nice cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Release -DKELVANE_TESTS=OFF >/dev/null
    nice cmake --build "$native" -j "$jobs" --target kelvane_bench
    echo "=== native ==="
    "$native/bench/kelvane_bench" "$@" --benchmark_out="$native/kelvane_bench.json" --benchmark_out_format=json
    native_json=$native/kelvane_bench.json
fi

echo "=== Windows build under Wine ==="
# The output file is named relative to the program's current directory: Wine gives it this one.
# xvfb-run's "X connection broken" as it stops its display after the run is left out.
(cd "$windows" && "$root/scripts/wine-run.sh" --default-prefix="$windows/wine-prefix" bin/kelvane_bench.exe "$@" \
    --benchmark_out=kelvane_bench.json --benchmark_out_format=json) 2> >(grep -v '^X connection to' >&2)

echo
python3 bench/side_by_side.py "$native_json" "$windows/kelvane_bench.json" | tee "$windows/side_by_side.txt"
