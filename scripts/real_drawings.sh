#!/bin/bash
# kelvane on drawings nobody here wrote: every .svg (and gunzipped .svgz) that Debian's inkscape
# package installs. Each one, run with `measure` and nothing selected, must come back byte for
# byte, or be refused with a reason (exit 2). Files that came back changed are rendered before and
# after with rsvg-convert to tell a harmless difference from one a user would see. Each drawing that
# has a path with an id also gets that path's handle lines (a new layer): the result must render
# with rsvg-convert and read back unchanged.
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
total=0 same=0 pixels_same=0 pixels_different=0 refused=0 crashed=0 changed_runs=0
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
        # A change too: the handle lines of its first path with an id, written as a new layer. The
        # result must render and read back as it was written.
        id=$(tr '\n\t' '  ' <"$input" | grep -o '<path [^>]*>' | grep -o ' id="[^"]*"' | head -n 1 | cut -d'"' -f2)
        if [ -n "$id" ] && "$kelvane" run "$input" -o "$work/changed.svg" --select "$id" handles \
                >/dev/null 2>&1; then
            changed_runs=$((changed_runs + 1))
            # Small: a drawing full of filters takes minutes at its own size.
            if ! rsvg-convert --width 64 --keep-aspect-ratio -o "$work/changed.png" "$work/changed.svg" 2>"$work/err" ||
                    ! "$kelvane" run "$work/changed.svg" -o "$work/again.svg" >/dev/null 2>&1 ||
                    ! cmp -s "$work/changed.svg" "$work/again.svg"; then
                crashed=$((crashed + 1))
                echo "failed: $file: handles of #$id did not render or read back: $(head -n 1 "$work/err")"
            fi
        fi
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
     "pixel-different $pixels_different; refused $refused; failed otherwise $crashed;" \
     "handle lines added to $changed_runs, each rendered and read back"
[ $((pixels_same + pixels_different + crashed)) -eq 0 ]
