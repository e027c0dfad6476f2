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

# The desktop notification of the first due entry, as dunst draws it on a
# session bus of its own.
read -r address buspid < <(dbus-daemon --session --fork --nopidfile --print-address=1 \
    --print-pid=1 | paste -sd' ')
export DBUS_SESSION_BUS_ADDRESS=$address
dunst >/dev/null 2>&1 &
dunstpid=$!
trap 'kill "$dunstpid" "${program:-}" "$buspid" 2>/dev/null || true; cleanup' EXIT
sleep 1
"$build/kalvex4" >/dev/null 2>&1 &
program=$!
bubble=""
for _ in $(seq 100); do
    bubble=$(xdotool search --onlyvisible --class dunst 2>/dev/null | head -1) &&
        [[ -n $bubble ]] && break
    sleep 0.1
done
[[ -n $bubble ]] || { echo "no desktop notification appeared"; exit 1; }
sleep 0.5
import -window "$bubble" data/help/pictures/notification.png
echo "wrote notification.png"
