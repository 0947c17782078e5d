#!/usr/bin/env bash
# The main job, on a fresh Debian 12 machine as root: installs the packages (scripts/setup.sh), builds
# the command-line front of the simulated host natively in build/native, and runs it on the bundled
# example: the plug-in is loaded and started with examples/settings/Kelvane.ini as the user's
# settings file, and the settings file it writes at shut-down is left in out/Kelvane.ini.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}

bash scripts/setup.sh
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/native -j "$jobs" --target kelvane

mkdir -p out
build/native/cli/kelvane startup --settings examples/settings/Kelvane.ini --out out/Kelvane.ini
echo "main_job: the settings file the plug-in wrote is in out/Kelvane.ini"
