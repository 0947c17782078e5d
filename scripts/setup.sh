#!/usr/bin/env bash
# Installs everything Kelvane's builds and tests need on Debian 12. Idempotent: when every package is
# already installed it changes nothing. Run as root (sudo is used when not root).
set -euo pipefail

packages=(
    g++ cmake                                   # native build
    googletest libgtest-dev                     # GoogleTest: sources for the Windows build, package natively
    libbenchmark-dev                            # benchmarks
    dpkg-dev                                    # apt-get source: Google Benchmark's sources, below
    python3                                     # bench/side_by_side.py
    clang libclang-rt-14-dev                    # fuzzing (libFuzzer and sanitizer runtimes)
    g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64   # Windows x64 cross build
    wine64 xvfb xauth                           # running the Windows tests
    fonts-liberation2 fonts-ipafont-gothic      # Wine's stand-ins for the dialogs' fonts, Japanese glyphs
    libpugixml-dev librsvg2-bin                 # resource tools
    locales                                     # a decimal-comma locale for the tests
    inkscape imagemagick xdotool                # the Inkscape extensions' tests, screenshots of Inkscape
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
        missing+=("$package")
    fi
done

as_root=()
if [[ $(id -u) -ne 0 ]]; then
    as_root=(sudo)
fi

# The tests check that numbers are written and read alike under a locale whose decimal point is a
# comma; Debian generates no locale of its own.
generate_comma_locale() {
    if ! locale -a 2>/dev/null | grep -qx 'de_DE.utf8'; then
        "${as_root[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
    fi
}

# The Windows build of the benchmarks builds Google Benchmark from Debian's source package (MinGW has
# no package of it), unpacked once into /usr/src/benchmark beside /usr/src/googletest. Debian's own
# sources list has no deb-src entry, so one of its own is added for the source indices.
benchmark_sources=/usr/src/benchmark
deb_src_list=/etc/apt/sources.list.d/kelvane-deb-src.sources
fetch_benchmark_sources() {
    [[ -f $benchmark_sources/CMakeLists.txt ]] && return 0
    if [[ ! -f $deb_src_list ]]; then
        printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm' \
            'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
            "${as_root[@]}" tee "$deb_src_list" >/dev/null
    fi
    if ! apt-cache showsrc benchmark 2>/dev/null | grep -q '^Package: benchmark$'; then
        "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
    fi
    local work
    work=$("${as_root[@]}" mktemp -d /usr/src/benchmark.XXXXXX)
    # apt downloads as the user _apt, into a directory it must be able to write.
    "${as_root[@]}" chown _apt "$work" 2>/dev/null && "${as_root[@]}" chmod 755 "$work"
    # apt-get source unpacks the upstream tarball and applies Debian's patches (dpkg-source -x).
    (cd "$work" && "${as_root[@]}" apt-get source -q benchmark) &&
        "${as_root[@]}" mv "$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'benchmark-*' | head -n 1)" \
            "$benchmark_sources"
    local status=$?
    "${as_root[@]}" rm -rf "$work"
    if [[ $status -ne 0 || ! -f $benchmark_sources/CMakeLists.txt ]]; then
        echo "setup: could not unpack Google Benchmark's sources into $benchmark_sources" >&2
        return 1
    fi
    echo "setup: Google Benchmark's sources in $benchmark_sources"
}

if [[ ${#missing[@]} -eq 0 ]]; then
    echo "setup: all ${#packages[@]} packages are installed"
else
    echo "setup: installing ${missing[*]}"
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y --no-install-recommends "${missing[@]}"
    echo "setup: done"
fi
generate_comma_locale
# Only the Windows benchmarks need them: the builds and tests go on without.
fetch_benchmark_sources || echo "setup: warning: no Google Benchmark sources; the Windows benchmarks cannot be built" >&2
