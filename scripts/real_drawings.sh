#!/bin/bash
# kelvane on drawings nobody here wrote: every .svg (and gunzipped .svgz) that Debian's inkscape
# package installs. Each one, run with `measure` and nothing selected, must come back byte for
# byte, or be refused with a reason (exit 2). Files that came back changed are rendered before and
# after with rsvg-convert to tell a harmless difference from one a user would see.
#   bash scripts/real_drawings.sh KELVANE [INKSCAPE_SHARE]
# Exit status: 0 every drawing came back or was refused, 1 some came back changed (or kelvane
# failed otherwise), 77 skipped.
set -u
kelvane=${1:?usage: real_drawings.sh KELVANE [INKSCAPE_SHARE]}
share=${2:-/usr/share/inkscape}
if [ ! -d "$share" ]; then
    echo "skipped: $share is absent (install Debian's inkscape package)"
    exit 77
fi
if ! command -v rsvg-convert >/dev/null; then
    echo "skipped: rsvg-convert is absent (install librsvg2-bin)"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
total=0 same=0 pixels_same=0 pixels_different=0 refused=0 crashed=0
changed_list=""

while IFS= read -r -d '' file; do
    total=$((total + 1))
    input=$file
    case $file in
        *.svgz)
            input=$work/in.svg
            if ! gzip -dc "$file" >"$input" 2>/dev/null; then
                refused=$((refused + 1))
                echo "refused: $file: not gzip data"
                continue
            fi
            ;;
    esac
    rm -f "$work/out.svg"
    "$kelvane" run "$input" -o "$work/out.svg" measure >/dev/null 2>"$work/err"
    status=$?
    if [ $status -eq 2 ]; then
        refused=$((refused + 1))
        echo "refused: $file: $(tail -n 1 "$work/err" | sed "s|^kelvane: [^:]*: ||")"
        continue
    fi
    if [ $status -gt 2 ]; then
        crashed=$((crashed + 1))
        echo "failed: $file: exit $status: $(tail -n 3 "$work/err")"
        continue
    fi
    if cmp -s "$input" "$work/out.svg"; then
        same=$((same + 1))
        continue
    fi
    changed_list="$changed_list $file"
    rsvg-convert -o "$work/before.png" "$input" 2>/dev/null
    rsvg-convert -o "$work/after.png" "$work/out.svg" 2>/dev/null
    if cmp -s "$work/before.png" "$work/after.png"; then
        pixels_same=$((pixels_same + 1))
        echo "changed (same pixels): $file (exit $status)"
    else
        pixels_different=$((pixels_different + 1))
        echo "changed (pixels differ): $file (exit $status)"
    fi
done < <(find "$share/examples" "$share/templates" "$share/symbols" "$share/screens" "$share/paint" \
              "$share/extensions" \( -name '*.svg' -o -name '*.svgz' \) -type f -print0 2>/dev/null | sort -z)

echo "real drawings: $total; byte-identical $same; changed with the same pixels $pixels_same;" \
     "pixel-different $pixels_different; refused $refused; failed otherwise $crashed"
[ $((pixels_same + pixels_different + crashed)) -eq 0 ]
