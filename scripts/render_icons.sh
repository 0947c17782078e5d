#!/usr/bin/env bash
# Renders the icon drawings resources/icons/src/*.svg into the PNG resources resources/icons/*.png
# that resources/kelvane.rc embeds, and a contact sheet that shows every icon the way the panel and
# the toolbox paint it. The PNGs are checked in, so building the plug-in needs no SVG renderer;
# run this after changing a drawing.
#
#   scripts/render_icons.sh
#
# Needs rsvg-convert (Debian package librsvg2-bin).
#
# Each drawing is made once, in the inks for a light background. The "_on_dark" PNG (resource id + 100)
# is the same drawing with the inks swapped for a dark background: the panel shows it for a button
# in the dark interface and for a pressed button (dark fill) in the light one.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
src=$root/resources/icons/src
out=$root/resources/icons

if ! command -v rsvg-convert >/dev/null; then
    echo "render_icons.sh: rsvg-convert not found (install librsvg2-bin)" >&2
    exit 1
fi

# Inks of the drawings (light background) and what they become on a dark background.
#   ink     lines and filled anchors      #2B2B2B -> #E8E8E8
#   accent  what the command makes       #0F62CC -> #5AAEFF
#   paper   inside of hollow marks       #FFFFFF -> #363636
on_dark() {
    sed -e 's/#2B2B2B/#E8E8E8/g' -e 's/#0F62CC/#5AAEFF/g' -e 's/#FFFFFF/#363636/g' "$1"
}

# name:resource id of the light-background PNG (the dark one is id + 100).
icons=(
    pointer:16279 measure:16280 handle_line:16281 extension_crossing:16282 angle_bisector:16283
    minus:16284 plus:16285 tool_path_adjust:16251 tool_point_adjust:16252
)

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

for entry in "${icons[@]}"; do
    name=${entry%%:*}
    rsvg-convert "$src/$name.svg" -o "$out/$name.png"
    on_dark "$src/$name.svg" >"$tmp/$name.svg"
    rsvg-convert "$tmp/$name.svg" -o "$out/${name}_on_dark.png"
done

# ---- Contact sheet -------------------------------------------------------------------------------
# Four interface shades (lightest and light, dark and darkest). On each: every panel button at 100 %
# and 200 % (33 by 32 and 66 by 64 pixels), not pressed and pressed, framed and filled as the panel
# paints them; the plus and minus buttons (16 by 16, 32 by 32); the two tool icons at 32 and 64.
uri() { printf 'data:image/png;base64,%s' "$(base64 -w0 "$out/$1.png")"; }

sheet=$tmp/contact_sheet.svg
shades=("#F0F0F0:light" "#B8B8B8:light" "#535353:dark" "#323232:dark")
buttons=(measure extension_crossing angle_bisector pointer handle_line)
width=1100
band=250
{
    printf '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d">\n' "$width" $((band * ${#shades[@]}))
    y=0
    for shade in "${shades[@]}"; do
        bg=${shade%%:*}
        kind=${shade##*:}
        if [[ $kind == light ]]; then
            frame="#444444"; text="#333333"; normal=""; pressed="_on_dark"
        else
            frame="#AAAAAA"; text="#CCCCCC"; normal="_on_dark"; pressed=""
        fi
        printf '<rect x="0" y="%d" width="%d" height="%d" fill="%s"/>\n' "$y" "$width" "$band" "$bg"
        printf '<text x="10" y="%d" font-family="DejaVu Sans" font-size="12" fill="%s">%s interface, panel %s</text>\n' \
            $((y + 18)) "$text" "$kind" "$bg"
        x=10
        for name in "${buttons[@]}"; do
            for state in normal pressed; do
                if [[ $state == normal ]]; then suffix=$normal; fill=$bg; else suffix=$pressed; fill=$frame; fi
                # 100 %
                printf '<rect x="%s" y="%d" width="33" height="32" fill="%s" stroke="%s" stroke-width="1"/>\n' \
                    "$x.5" $((y + 30)) "$fill" "$frame"
                printf '<image x="%d" y="%d" width="33" height="32" href="%s"/>\n' "$x" $((y + 30)) "$(uri "$name$suffix")"
                # 200 %
                printf '<rect x="%s" y="%d" width="66" height="64" fill="%s" stroke="%s" stroke-width="1"/>\n' \
                    "$x.5" $((y + 75)) "$fill" "$frame"
                printf '<image x="%d" y="%d" width="66" height="64" href="%s"/>\n' "$x" $((y + 75)) "$(uri "$name$suffix")"
                x=$((x + 80))
            done
            x=$((x + 20))
        done
        # Plus and minus, then the tools (no frame: the toolbox draws them on its own background).
        x=10
        for name in plus minus; do
            for state in normal pressed; do
                if [[ $state == normal ]]; then suffix=$normal; fill=$bg; else suffix=$pressed; fill=$frame; fi
                printf '<rect x="%s" y="%d" width="16" height="16" fill="%s" stroke="%s" stroke-width="1"/>\n' \
                    "$x.5" $((y + 160)) "$fill" "$frame"
                printf '<image x="%d" y="%d" width="16" height="16" href="%s"/>\n' "$x" $((y + 160)) "$(uri "$name$suffix")"
                printf '<rect x="%s" y="%d" width="32" height="32" fill="%s" stroke="%s" stroke-width="1"/>\n' \
                    "$x.5" $((y + 190)) "$fill" "$frame"
                printf '<image x="%d" y="%d" width="32" height="32" href="%s"/>\n' "$x" $((y + 190)) "$(uri "$name$suffix")"
                x=$((x + 50))
            done
        done
        x=$((x + 40))
        for name in tool_path_adjust tool_point_adjust; do
            printf '<image x="%d" y="%d" width="32" height="32" href="%s"/>\n' "$x" $((y + 170)) "$(uri "$name$normal")"
            printf '<image x="%d" y="%d" width="64" height="64" href="%s"/>\n' $((x + 45)) $((y + 150)) "$(uri "$name$normal")"
            x=$((x + 130))
        done
        y=$((y + band))
    done
    printf '</svg>\n'
} >"$sheet"
rsvg-convert "$sheet" -o "$out/contact_sheet.png"
echo "render_icons.sh: wrote ${#icons[@]} icons in two inks and contact_sheet.png to $out"
