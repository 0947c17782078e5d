#!/usr/bin/env bash
# Makes the Wine prefix WINEPREFIX ready for the Windows tests, once: `wineboot -i`, then
# scripts/wine-configure.sh, then the marker file WINEPREFIX/.kelvane-ready. A prefix that has the
# marker is left as it is. Called by scripts/test.sh (one new prefix per run) and scripts/wine-run.sh
# (a prefix of its own when none is given).
#
# The first start of Wine in a new prefix has been seen to fail on a fresh machine (the loader could
# not start wineboot while it was still creating the prefix), so wineboot is judged by the prefix it
# leaves, not by its status, and is run again when the prefix is incomplete.
#
# KELVANE_WINE  the Wine loader, /usr/lib/wine/wine64 unless set.
set -u

wine=${KELVANE_WINE:-/usr/lib/wine/wine64}
wineserver=$(dirname "$wine")/wineserver
: "${WINEPREFIX:?wine-prefix.sh: WINEPREFIX is not set}"
ready=$WINEPREFIX/.kelvane-ready
[[ -e $ready ]] && exit 0

prefix_complete() {
    [[ -f $WINEPREFIX/system.reg && -f $WINEPREFIX/drive_c/windows/system32/kernel32.dll &&
        -f $WINEPREFIX/drive_c/windows/system32/wineboot.exe ]]
}

log=$(mktemp)
trap 'rm -f "$log"' EXIT
mkdir -p "$WINEPREFIX"
for attempt in 1 2 3; do
    # `wineserver -w` waits for everything wineboot started (rundll32, winemenubuilder) to end, so
    # the registry is complete before it is configured.
    "$wine" wineboot -i </dev/null >"$log" 2>&1
    status=$?
    "$wineserver" -w
    if prefix_complete; then
        break
    fi
    echo "wine-prefix.sh: wineboot attempt $attempt (status $status) left $WINEPREFIX incomplete:" >&2
    cat "$log" >&2
    sleep 2
done
if ! prefix_complete; then
    echo "wine-prefix.sh: could not initialise the Wine prefix $WINEPREFIX" >&2
    exit 1
fi

KELVANE_WINE=$wine "$(dirname "${BASH_SOURCE[0]}")/wine-configure.sh" || exit 1
"$wineserver" -w
touch "$ready"
