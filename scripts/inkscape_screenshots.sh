#!/usr/bin/env bash
# Screenshots of Kelvane in Inkscape for the README, taken on a private Xvfb with xdotool and
# ImageMagick's import (scripts/setup.sh installs them): the Extensions > Kelvane menu, the Angle
# Bisector's result and Measure's message, into docs/. Not a test: the clicks are at the places
# Inkscape 1.2 puts its menus and the example drawing in a 1280x900 window.
#   scripts/inkscape_screenshots.sh BUILD_DIR
set -euo pipefail

build=$(cd "${1:?usage: inkscape_screenshots.sh BUILD_DIR}" && pwd)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
xvfb= inkscape=
cleanup() {
    if [[ -n $inkscape ]]; then kill "$inkscape" 2>/dev/null || true; fi
    if [[ -n $xvfb ]]; then kill "$xvfb" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

number=90
while [[ -e /tmp/.X$number-lock || -e /tmp/.X11-unix/X$number ]]; do number=$((number + 1)); done
Xvfb ":$number" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:$number HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
sleep 1
cmake --install "$build" --component inkscape --prefix "$XDG_CONFIG_HOME/inkscape/extensions" >/dev/null

inkscape --with-gui "$root/examples/inkscape/lines.svg" >"$work/inkscape.log" 2>&1 &
inkscape=$!
window=
for _ in $(seq 60); do
    window=$(xdotool search --onlyvisible --name 'lines.svg' 2>/dev/null | head -1) && [[ -n $window ]] && break
    sleep 1
done
[[ -n $window ]] || { echo "inkscape_screenshots: Inkscape's window did not show"; exit 1; }
xdotool windowsize "$window" 1280 900
sleep 2
xdotool mousemove 640 400 click 1 key 5  # the page in the window
sleep 1

open_kelvane_menu() {
    xdotool mousemove 424 12 click 1
    sleep 1
    xdotool mousemove 480 288
    sleep 1
    xdotool mousemove 560 288
    sleep 1
}

open_kelvane_menu
import -window root -crop 960x540+0+0 +repage "$root/docs/inkscape_menu.png"
xdotool key Escape key Escape
sleep 1

# The two lines of the V, then Angle Bisector.
xdotool mousemove 556 454 click 1
xdotool keydown shift mousemove 754 454 click 1 keyup shift
sleep 1
open_kelvane_menu
xdotool mousemove 780 288 click 1
sleep 5
import -window root -crop 960x810+0+0 +repage "$root/docs/inkscape_result.png"

# Measure: its message in Inkscape's dialog.
open_kelvane_menu
xdotool mousemove 780 388 click 1
sleep 5
import -window root -crop 960x700+0+0 +repage "$root/docs/inkscape_measure.png"
xdotool key Return
echo "inkscape_screenshots: docs/inkscape_menu.png, docs/inkscape_result.png, docs/inkscape_measure.png"
