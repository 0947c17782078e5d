#!/usr/bin/env bash
# The main job, on a fresh Debian 12 machine as root: installs the packages (scripts/setup.sh), builds
# the command-line front of the simulated host natively in build/native, and runs it on the bundled
# examples:
#   - `kelvane startup`: the plug-in is loaded and started with examples/settings/Kelvane.ini as the
#     user's settings file; the settings file it writes at shut-down is left in out/Kelvane.ini;
#   - `kelvane run` on each drawing in examples/: the plug-in's commands run on it as the panel would
#     run them; the resulting drawing is left in out/NAME.svg, rendered to out/NAME.png, beside a
#     render of the drawing it started from (out/NAME.before.png).
# Each run must end with the exit status it is listed with (0 changed, 1 refused); any other ends the job.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}

bash scripts/setup.sh
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/native -j "$jobs" --target kelvane

kelvane=build/native/cli/kelvane
mkdir -p out
echo "== kelvane startup"
"$kelvane" startup --settings examples/settings/Kelvane.ini --out out/Kelvane.ini
echo "main_job: the settings file the plug-in wrote is in out/Kelvane.ini"

# run NAME EXPECTED-STATUS INPUT ARGUMENT...
run() {
    local name=$1 expected=$2 input=$3
    shift 3
    echo
    echo "== kelvane run $input -o out/$name.svg $*"
    local status=0
    "$kelvane" run "$input" -o "out/$name.svg" "$@" || status=$?
    if [[ $status -ne $expected ]]; then
        echo "main_job: $name ended with status $status, not $expected" >&2
        exit 1
    fi
    rsvg-convert --background-color=white -o "out/$name.before.png" "$input"
    rsvg-convert --background-color=white -o "out/$name.png" "out/$name.svg"
}

run bisect_v 0 examples/bisect_v.svg --lang en bisect
run cross_lines 0 examples/cross_lines.svg --lang en cross
run cross_extend 0 examples/cross_extend.svg --lang en cross extend=on
run length 0 examples/curve.svg --units mm measure length 100 measure measure
run slider 0 examples/curve.svg measure slider -40
run pointer 0 examples/pointer_line.svg --units mm \
    pointer create=on direction=forward count=3 d1=15 d2=15 d3=15 size=6 width=1
run handles 0 examples/handles_curve.svg handles color="Handle red" width=1
run refused 1 examples/refused.svg --lang ja bisect cross
run path_adjust 0 examples/path_adjust.svg --lang en path-adjust 40,100 160,100 250,150 310,46
run point_adjust 0 examples/point_adjust.svg --lang en point-adjust 200,160 264.8,92.6 175,150
run restore 0 examples/restore.svg --lang en restore yes

echo
echo "main_job: the drawings are in out/*.svg, their renders in out/*.png"
