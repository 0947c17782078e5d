#!/usr/bin/env bash
# The full test run, on a fresh Debian 12 machine as root:
#   1. scripts/setup.sh (installs the packages);
#   2. native build with AddressSanitizer and UndefinedBehaviorSanitizer in build/native, ctest;
#   3. Windows x64 cross build in build/windows, ctest: the Windows tests run under Wine, on an Xvfb
#      display started here, in one Wine prefix made for this run; then the release zip;
#   4. fuzz build with Clang in build/fuzz and a short run of each fuzzer (ctest).
# Every stage runs even when an earlier one failed; the exit status is non-zero if any failed.
# Environment: JOBS (parallel jobs, default nproc), KELVANE_FUZZ_SECONDS (default 20).
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}
fuzz_seconds=${KELVANE_FUZZ_SECONDS:-20}
logs=$root/build/logs
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

stages=()
results=()
tests_passed=0
tests_failed=0

record() {  # record STAGE STATUS
    stages+=("$1")
    if [[ $2 -eq 0 ]]; then results+=(PASS); else results+=(FAIL); fi
}

# Runs ctest in build dir $1, logging to $logs/$2-ctest.log, and adds its counts to the totals.
run_ctest() {
    local dir=$1 name=$2 status
    shift 2
    ctest --test-dir "$dir" --output-on-failure --no-tests=error --timeout 1200 "$@" </dev/null 2>&1 | tee "$logs/$name-ctest.log"
    status=${PIPESTATUS[0]}
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$logs/$name-ctest.log" | tail -n 1)
    if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
        tests_failed=$((tests_failed + BASH_REMATCH[1]))
        tests_passed=$((tests_passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
    fi
    return "$status"
}

# --- Xvfb and Wine, for the Windows stage; both are stopped when this script exits. ---
xvfb_pid=
wine_prefix=
cleanup() {
    if [[ -n $wine_prefix && -x $wineserver ]]; then
        WINEPREFIX=$wine_prefix "$wineserver" -k >/dev/null 2>&1 || true
    fi
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_xvfb() {  # the first free display from :99 on; exports DISPLAY
    local n i
    for n in $(seq 99 160); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$logs/xvfb.log" 2>&1 &
        xvfb_pid=$!
        for i in $(seq 1 100); do
            if [[ -S /tmp/.X11-unix/X$n ]]; then
                export DISPLAY=":$n"
                echo "test: Xvfb on display :$n (pid $xvfb_pid)"
                return 0
            fi
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=
    done
    echo "test: could not start Xvfb" >&2
    return 1
}

start_wine() {  # a new prefix in build/windows/wine-prefix, its wineserver kept running
    wine_prefix=$root/build/windows/wine-prefix
    rm -rf "$wine_prefix" "$wine_prefix.lock"
    export WINEPREFIX=$wine_prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
    echo "test: initialising the Wine prefix $wine_prefix"
    KELVANE_WINE=$wine "$root/scripts/wine-prefix.sh" || return 1
    "$wineserver" -p </dev/null || return 1   # kept between the tests, each of which would otherwise start one
    # Wine's services (services.exe, winedevice, rpcss...) start with the first program and live as
    # long as the server. Started by a test, they would hold ctest's output pipe open for ever and
    # ctest would wait on it after the last test; started here, they hold nothing of ctest's.
    "$wine" wineboot </dev/null >/dev/null 2>&1 || return 1
}

# --- stages ---
stage_native() {
    cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVANE_SANITIZE=ON -DKELVANE_TESTS=ON &&
        cmake --build build/native -j "$jobs" &&
        run_ctest build/native native -j "$jobs"
}

stage_windows() {
    cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DKELVANE_TESTS=ON &&
        cmake --build build/windows -j "$jobs" &&
        start_xvfb &&
        start_wine &&
        run_ctest build/windows windows &&
        cmake --build build/windows --target package   # the release zip, in build/windows/package
}

stage_fuzz() {
    CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKELVANE_FUZZ=ON -DKELVANE_TESTS=OFF -DKELVANE_FUZZ_SECONDS="$fuzz_seconds" &&
        cmake --build build/fuzz -j "$jobs" --target kelvane_fuzzers &&
        run_ctest build/fuzz fuzz
}

start=$SECONDS
bash scripts/setup.sh
record setup $?
mkdir -p "$logs"

for stage in native windows fuzz; do
    echo
    echo "=== test: $stage ==="
    stage_start=$SECONDS
    "stage_$stage"
    status=$?
    record "$stage" "$status"
    echo "=== test: $stage: ${results[-1]} ($((SECONDS - stage_start)) s) ==="
done

echo
echo "=== test summary ($((SECONDS - start)) s) ==="
failed=0
for i in "${!stages[@]}"; do
    printf '  %-8s %s\n' "${stages[$i]}" "${results[$i]}"
    [[ ${results[$i]} == PASS ]] || failed=1
done
echo "tests: $tests_passed passed, $tests_failed failed"
exit "$failed"
