#!/usr/bin/env bash
# Benchmarks in a Release build (build/bench, or KELVANE_BENCH_BUILD), compared with the peers'
# length functions (bench/peers: bezier-js and paper.js from npm) on the same curves, in one invocation.
# bench/run_windows.sh runs the Windows build's benchmarks under Wine beside the native ones.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}
out=${KELVANE_BENCH_BUILD:-$root/build/bench}

bash scripts/setup.sh
if ! command -v npm >/dev/null; then  # the peers run on Node.js
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends nodejs npm
fi
nice cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Release -DKELVANE_TESTS=OFF >/dev/null
nice cmake --build "$out" -j "$jobs" --target kelvane_bench curve_lengths

(cd bench/peers && npm ci --no-audit --no-fund >/dev/null)

"$out/bench/kelvane_bench" --benchmark_out="$out/kelvane_bench.json" --benchmark_out_format=json
"$out/bench/curve_lengths" 100000 "$out/curves.json"
node bench/peers/compare.mjs "$out/curves.json" "$out/kelvane_bench.json" | tee "$out/report.txt"
