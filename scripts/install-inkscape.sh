#!/usr/bin/env bash
# Installs Kelvane's Inkscape extensions for the current user: builds kelvane (Release, without
# sanitizers) and puts it with the .inx files into ~/.config/inkscape/extensions/kelvane/, where
# Inkscape finds them at its next start (Extensions > Kelvane).
#   bash scripts/install-inkscape.sh [BUILD_DIR]   (default build/inkscape-release)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/inkscape-release}
# Inkscape's own folder for user extensions follows XDG_CONFIG_HOME.
target=${XDG_CONFIG_HOME:-$HOME/.config}/inkscape/extensions

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKELVANE_SANITIZE=OFF -DKELVANE_TESTS=OFF >/dev/null
cmake --build "$build" --target kelvane -j"$(nproc)"
cmake --install "$build" --component inkscape --prefix "$target"
echo "install-inkscape: Kelvane's extensions are in $target/kelvane; restart Inkscape and see Extensions > Kelvane"
