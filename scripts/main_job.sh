#!/usr/bin/env bash
# The main job, on a fresh Debian 12 machine as root: installs the packages (scripts/setup.sh), builds
# natively in build/native, and runs the demonstration program (target kelvane-demo, normally
# build/native/cli/kelvane-demo), which loads the plug-in into the simulated host and works on the
# bundled example. Arguments are passed on to the program.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}

bash scripts/setup.sh

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo

# The configuration names the program in build/native/kelvane-demo.path when the target exists.
path_file=$root/build/native/kelvane-demo.path
if [[ ! -f $path_file ]]; then
    echo "main_job: there is no demonstration program yet: the CMake target 'kelvane-demo' (cli/CMakeLists.txt) is not defined" >&2
    exit 1
fi
demo=$(<"$path_file")

cmake --build build/native -j "$jobs" --target kelvane-demo
echo "main_job: running $demo $*"
exec "$demo" "$@"
