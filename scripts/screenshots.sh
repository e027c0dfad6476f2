#!/usr/bin/env bash
# Takes the help page's pictures of every window under Xvfb, on a throw-away
# demo installation, into data/help/pictures (commit them):
#   scripts/screenshots.sh [BUILD_DIR]     (or: cmake --build build --target screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
display=:$((500 + RANDOM % 300))
cleanup() {
    kill "${xvfb:-}" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export USER=anna LANG=C.UTF-8 QT_QPA_PLATFORM=xcb
export KALVEX4_STORE="$work/sandbox/Kalvex4.conf" KALVEX4_EXCHANGE="$work/sandbox/Kalvex4.tmp"
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config"
unset DBUS_SESSION_BUS_ADDRESS
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$build/kalvex4-setup" --sandbox "$work/sandbox" --demo >/dev/null
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
"$build/kv_screenshots" data/help/pictures
