#!/usr/bin/env bash
# Runs one Windows program under Wine. It is the emulator of the Windows build
# (CMAKE_CROSSCOMPILING_EMULATOR in cmake/mingw-w64.cmake), so ctest runs every Windows test through it.
#
#   scripts/wine-run.sh [--default-prefix=DIR] PROGRAM.exe [ARGUMENTS...]
#
# WINEPREFIX   the Wine prefix to use. scripts/test.sh makes one per run and exports it. When it is
#              unset the prefix is DIR (the toolchain passes <build>/wine-prefix), created here with
#              `wineboot -i` the first time.
# DISPLAY      the X display. scripts/test.sh starts Xvfb and exports it. When it is unset the program
#              runs under a private Xvfb (xvfb-run).
# KELVANE_WINE the Wine loader, /usr/lib/wine/wine64 unless set (Debian's wine64 keeps it off PATH).
# The exit status is the program's.
set -u

default_prefix=
while [[ $# -gt 0 && $1 == --default-prefix=* ]]; do
    default_prefix=${1#--default-prefix=}
    shift
done
if [[ $# -lt 1 ]]; then
    echo "usage: $0 [--default-prefix=DIR] PROGRAM [ARGUMENTS...]" >&2
    exit 2
fi

wine=${KELVANE_WINE:-/usr/lib/wine/wine64}
if [[ ! -x $wine ]]; then
    echo "wine-run.sh: no Wine loader at $wine (install wine64: scripts/setup.sh)" >&2
    exit 127
fi

export WINEPREFIX=${WINEPREFIX:-${default_prefix:-${TMPDIR:-/tmp}/kelvane-wine-$(id -u)}}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko (Wine would offer to download them; nothing here needs them), and no debugger:
# a crashing test program ends instead of waiting in winedbg.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}

# A prefix is ready once its marker exists (scripts/test.sh writes it after its own `wineboot -i`).
# Making one is serialised with a lock, so tests started in parallel wait for the first to finish.
ready=$WINEPREFIX/.kelvane-ready
if [[ ! -e $ready ]]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [[ ! -e $ready ]]; then
            echo "wine-run.sh: initialising the Wine prefix $WINEPREFIX" >&2
            if [[ -n ${DISPLAY:-} ]]; then
                "$wine" wineboot -i </dev/null >/dev/null 2>&1
            else
                xvfb-run -a "$wine" wineboot -i </dev/null >/dev/null 2>&1
            fi && KELVANE_WINE=$wine "$(dirname "${BASH_SOURCE[0]}")/wine-configure.sh" && touch "$ready"
        fi
    ) 9>"$WINEPREFIX.lock"
    if [[ ! -e $ready ]]; then
        echo "wine-run.sh: could not initialise the Wine prefix $WINEPREFIX" >&2
        exit 1
    fi
fi

if [[ -z ${DISPLAY:-} ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$wine" "$@" </dev/null
fi
exec "$wine" "$@" </dev/null
