#!/usr/bin/env bash
# Runs one Windows program of the build under Wine, headless:
#   scripts/wine-run.sh PROGRAM.exe [ARGS...]
#   scripts/wine-run.sh --start    creates the prefix and starts its server
#   scripts/wine-run.sh --stop     stops the server and Wine's own services
# WINEPREFIX names the prefix (default: build/wineprefix); KV_WINE64 the Wine binary.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
wine="${KV_WINE64:-/usr/lib/wine/wine64}"
wineserver="$(dirname "$wine")/wineserver"
unset DISPLAY WAYLAND_DISPLAY
case "${1:-}" in
--start)
    # Wine's services outlive the program that starts them and keep its output
    # open: start them here, on /dev/null, so no test waits for another's end.
    mkdir -p "$WINEPREFIX"
    # Fails when a server for this prefix already runs, which is as good.
    "$wineserver" -p600 </dev/null >/dev/null 2>&1 || true
    "$wine" wineboot --init </dev/null >/dev/null 2>&1
    echo "Wine ready: $WINEPREFIX"
    ;;
--stop)
    "$wineserver" -k 2>/dev/null || true
    ;;
*)
    exec "$wine" "$@"
    ;;
esac
