#!/usr/bin/env bash
# Kelvane's extensions in the real Inkscape: installs them (cmake's install component "inkscape" of
# BUILD_DIR) into a temporary HOME, then runs each on examples/inkscape/lines.svg as Inkscape's
# batch mode does with a selection, and checks the drawing it exports and what the extension said.
# Inkscape registers extension actions only with its GUI, so it runs on an X display: DISPLAY, or a
# private Xvfb. Skips (status 77) when Inkscape is not installed.
#   tests/inkscape_extensions.sh BUILD_DIR
# KEEP=1 keeps the work folder. The drawing's user unit is one millimetre (width 210mm over a viewBox
# 210 wide).
set -euo pipefail

build=$(cd "${1:?usage: inkscape_extensions.sh BUILD_DIR}" && pwd)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
drawing=$root/examples/inkscape/lines.svg

command -v inkscape >/dev/null || { echo "inkscape_extensions: no Inkscape (see scripts/setup.sh): skipped"; exit 77; }

work=$(mktemp -d)
xvfb=
cleanup() {
    if [[ -n $xvfb ]]; then kill "$xvfb" 2>/dev/null || true; fi
    if [[ -n ${KEEP:-} ]]; then echo "inkscape_extensions: kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

if [[ -z ${DISPLAY:-} ]]; then
    command -v Xvfb >/dev/null || { echo "inkscape_extensions: no DISPLAY and no Xvfb: skipped"; exit 77; }
    for number in $(seq 90 160); do
        [[ -e /tmp/.X$number-lock || -e /tmp/.X11-unix/X$number ]] && continue
        Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb=$!
        for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$number ]] && break; sleep 0.1; done
        if kill -0 "$xvfb" 2>/dev/null; then export DISPLAY=:$number; break; fi
        xvfb=
    done
    [[ -n ${DISPLAY:-} ]] || { echo "inkscape_extensions: could not start Xvfb"; exit 1; }
fi

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
unset XDG_DATA_HOME XDG_CACHE_HOME
extensions=$XDG_CONFIG_HOME/inkscape/extensions
cmake --install "$build" --component inkscape --prefix "$extensions" >/dev/null
# Standard error goes to a dialog that would wait for a click: kelvane's is kept in a file instead.
mv "$extensions/kelvane/kelvane" "$extensions/kelvane/kelvane.program"
cat >"$extensions/kelvane/kelvane" <<EOF
#!/bin/sh
echo "\$@" >>"$work/arguments.txt"
exec "$extensions/kelvane/kelvane.program" "\$@" 2>>"$work/said.txt"
EOF
chmod +x "$extensions/kelvane/kelvane"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# inkscape_run NAME SELECTION ACTION [PREFERENCES]: the drawing with SELECTION (ids) selected, ACTION
# run (an extension's id, or nothing), exported as Inkscape SVG (which keeps its layers) to
# $work/NAME.svg. PREFERENCES are the extension's parameters as Inkscape keeps them (attributes of
# its "extensions" group).
inkscape_run() {
    local name=$1 selection=$2 action=$3 preferences=${4:-}
    mkdir -p "$XDG_CONFIG_HOME/inkscape"
    printf '<?xml version="1.0"?>\n<inkscape xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape" version="1">\n  <group id="extensions" %s/>\n</inkscape>\n' \
        "$preferences" >"$XDG_CONFIG_HOME/inkscape/preferences.xml"
    : >"$work/said.txt"
    local actions="select-by-id:$selection;"
    [[ -n $action ]] && actions+="$action.noprefs;"
    actions+="export-filename:$work/$name.svg;export-do"
    if ! timeout 120 inkscape --with-gui --batch-process --actions="$actions" "$drawing" >"$work/$name.log" 2>&1; then
        fail "$name: inkscape did not finish: $(tail -3 "$work/$name.log")"
    fi
    cp "$work/said.txt" "$work/$name.said"
    [[ -s $work/$name.svg ]] || fail "$name: no drawing exported"
}

# check NAME PYTHON: PYTHON's assertions on the exported drawing (svg, its elements by id in
# `by_id`, the paths the input did not have in `new`) and on what kelvane said (`said`).
check() {
    local name=$1 code=$2
    if ! python3 - "$work/$name.svg" "$work/$name.said" "$drawing" >"$work/$name.check" 2>&1 <<EOF; then
import re, sys, xml.etree.ElementTree as ET
ns = {"svg": "http://www.w3.org/2000/svg", "inkscape": "http://www.inkscape.org/namespaces/inkscape"}
svg = ET.parse(sys.argv[1]).getroot()
said = open(sys.argv[2], encoding="utf-8").read()
given = ET.parse(sys.argv[3]).getroot()
by_id = {e.get("id"): e for e in svg.iter() if e.get("id")}
given_ids = {e.get("id") for e in given.iter() if e.get("id")}
new = [e for e in svg.iter("{http://www.w3.org/2000/svg}path") if e.get("id") not in given_ids]
def numbers(path):
    return [float(n) for n in re.findall(r"-?[0-9.]+(?:e-?[0-9]+)?", path.get("d"))]
def near(values, expected, tolerance=1e-3):
    assert len(values) == len(expected) and all(abs(a - b) <= tolerance for a, b in zip(values, expected)), (values, expected)
def unchanged(*ids):
    for i in ids:
        a, b = by_id[i], next(e for e in given.iter() if e.get("id") == i)
        assert a.attrib == b.attrib, (i, a.attrib, b.attrib)
$code
EOF
        fail "$name: $(cat "$work/$name.check")"
    else
        echo "ok: $name"
    fi
}

# What Inkscape writes of the drawing when no extension ran, for commands that change nothing.
inkscape_run baseline "left" ""
# Inkscape writes its view (zoom, window) into the named view after an extension ran: that is left out.
same_as_baseline() {
    python3 - "$work/baseline.svg" "$work/$1.svg" <<'EOF' || fail "$1: the drawing changed: $(diff "$work/baseline.svg" "$work/$1.svg" | head -5)"
import sys, xml.etree.ElementTree as ET
def drawing(name):
    root = ET.parse(name).getroot()
    for view in root.findall("{http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd}namedview"):
        root.remove(view)
    return ET.tostring(root)
sys.exit(drawing(sys.argv[1]) != drawing(sys.argv[2]))
EOF
}

inkscape_run bisect "left,right" example.kelvane.bisect
check bisect '
assert len(new) == 1, new
near(numbers(new[0]), [105, 80, 105, 200])
unchanged("left", "right", "long", "curve", "circle")
assert said == "", said'

inkscape_run refused "left,circle" example.kelvane.bisect
check refused 'assert "Kelvane Angle Bisector: Non straight line objects are selected." in said, said'
same_as_baseline refused

inkscape_run cross_extend "left,right" example.kelvane.cross 'example.kelvane.cross.extend="true"'
check cross_extend '
assert new == [], new
near(numbers(by_id["left"]), [30, 200, 105, 50])
near(numbers(by_id["right"]), [180, 200, 105, 50])
unchanged("long", "curve", "circle")'

# The panel's start values: 50 mm both ways from each anchor, 5 mm long, 0.1 pt wide.
inkscape_run pointer "long" example.kelvane.pointer
check pointer '
near(sum(sorted(numbers(p) for p in new), []), [70, 37.5, 70, 42.5, 140, 37.5, 140, 42.5])
assert all(abs(float(p.get("stroke-width")) - 0.1 * 25.4 / 72) < 1e-6 for p in new)
unchanged("left", "right", "long", "curve", "circle")'

inkscape_run divide "long" example.kelvane.pointer \
    'example.kelvane.pointer.create="false" example.kelvane.pointer.divide="true" example.kelvane.pointer.direction="forward" example.kelvane.pointer.d1="3" example.kelvane.pointer.unit="cm"'
check divide '
assert new == [], new
d = numbers(by_id["long"])
# One new anchor 30 mm along: the path is two cubic segments.
assert len(d) == 14 and d[:2] == [20, 40] and abs(d[-2] - 190) < 1e-3, d
near(d[6:8], [50, 40], 1e-2)'

inkscape_run handles "curve" example.kelvane.handles 'example.kelvane.handles.color="4278190335"'
check handles '
layer = next(g for g in svg.iter("{http://www.w3.org/2000/svg}g") if g.get("{http://www.inkscape.org/namespaces/inkscape}label") == "HANDLE LINE")
assert layer.get("{http://www.inkscape.org/namespaces/inkscape}groupmode") == "layer"
lines = sorted(numbers(p) for p in layer)
near(sum(lines, []), sum(sorted([[20, 260, 60, 220], [190, 250, 140, 300]]), []))
assert all(p.get("stroke") == "#ff0000" for p in layer)
unchanged("curve")'

inkscape_run length "curve" example.kelvane.length 'example.kelvane.length.length="200"'
check length '
d = numbers(by_id["curve"])
assert d[:2] == [20, 260] and abs(d[-2] - 190) < 1e-3 and abs(d[-1] - 250) < 1e-3, d
unchanged("left", "long")'
# Measured again by kelvane itself, in the document's unit.
measured=$("$extensions/kelvane/kelvane.program" inkscape measure --id=curve "$work/length.svg" 2>&1 >/dev/null)
[[ $measured == *": 200 mm" ]] || fail "length: the curve measures '$measured', not 200 mm"

inkscape_run measure "long,left" example.kelvane.measure
check measure 'assert said == "Kelvane Measure: length of the selected segments: 304.164 mm\n", said'
same_as_baseline measure

LANGUAGE=ja_JP.UTF-8 inkscape_run measure_ja "long" example.kelvane.measure
check measure_ja 'assert "選択したセグメントの長さ: 170 mm" in said, said'

((failures == 0)) || { echo "inkscape_extensions: $failures failed"; exit 1; }
echo "inkscape_extensions: every extension passed"
