#!/usr/bin/env bash
# Settles a freshly made Wine prefix (WINEPREFIX) for the Windows tests. Called by scripts/wine-prefix.sh
# right after `wineboot -i`.
#  - Unmanaged windows: Xvfb runs no window manager, so Wine draws window frames itself, and does not
#    wait (two seconds a window) for a manager to confirm that a window was hidden.
#  - Fonts: Wine has neither Segoe UI (the plug-in's dialogs) nor Tahoma (its own captions and
#    menus). Liberation Sans stands in for both, linked to IPA P Gothic (fonts-ipafont-gothic) for
#    Japanese glyphs, as Windows links its interface fonts to a Japanese one. IPA P Gothic has no
#    bold face, so the bold style (captions) is linked by its own name.
set -eu

wine=${KELVANE_WINE:-/usr/lib/wine/wine64}
: "${WINEPREFIX:?wine-configure.sh: WINEPREFIX is not set}"

add() { "$wine" reg add "$@" /f </dev/null >/dev/null; }

add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
for face in 'Segoe UI' 'Tahoma'; do
    add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d 'Liberation Sans'
done
for face in 'Liberation Sans' 'Liberation Sans Bold'; do
    add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" /t REG_MULTI_SZ \
        /d 'ipagp.ttf,IPAPGothic'
done
# The panel's font, "メイリオ" (Meiryo), is IPA P Gothic: a Gothic with the Japanese texts' glyphs. The
# name is not ASCII, so it goes in as a registry file (UTF-16) rather than as an argument of reg.
reg=$(mktemp --suffix=.reg)
{
    printf '\xff\xfe'
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"メイリオ"="IPAPGothic"\r\n"Meiryo"="IPAPGothic"\r\n' |
        iconv -f UTF-8 -t UTF-16LE
} >"$reg"
"$wine" regedit /S "$("$wine" winepath -w "$reg" 2>/dev/null)" </dev/null >/dev/null 2>&1
rm -f "$reg"
