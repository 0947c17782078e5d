#!/usr/bin/env bash
# Installs everything Kelvane's builds and tests need on Debian 12. Idempotent: when every package is
# already installed it changes nothing. Run as root (sudo is used when not root).
set -euo pipefail

packages=(
    g++ cmake                                   # native build
    googletest libgtest-dev                     # GoogleTest: sources for the Windows build, package natively
    libbenchmark-dev                            # benchmarks
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

if [[ ${#missing[@]} -eq 0 ]]; then
    echo "setup: all ${#packages[@]} packages are installed"
    generate_comma_locale
    exit 0
fi

echo "setup: installing ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends "${missing[@]}"
echo "setup: done"
generate_comma_locale
