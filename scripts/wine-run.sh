#!/usr/bin/env bash
# Runs one Windows program under Wine. It is the emulator of the Windows build
# (CMAKE_CROSSCOMPILING_EMULATOR in cmake/mingw-w64.cmake), so ctest runs every Windows test through it.
#
#   scripts/wine-run.sh [--default-prefix=DIR] PROGRAM.exe [ARGUMENTS...]
#
# WINEPREFIX   the Wine prefix to use. scripts/test.sh makes one per run and exports it. When it is
#              unset the prefix is DIR (the toolchain passes <build>/wine-prefix), made
#              once by scripts/wine-prefix.sh.
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

# The prefix is made once (scripts/wine-prefix.sh); tests started in parallel wait, under a lock, for
# the first to make it.
if [[ ! -e $WINEPREFIX/.kelvane-ready ]]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    make_prefix=("$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh")
    [[ -n ${DISPLAY:-} ]] || make_prefix=(xvfb-run -a "${make_prefix[@]}")
    (
        flock 9
        KELVANE_WINE=$wine "${make_prefix[@]}"
    ) 9>"$WINEPREFIX.lock" || exit 1
fi

if [[ -z ${DISPLAY:-} ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$wine" "$@" </dev/null
fi
exec "$wine" "$@" </dev/null
