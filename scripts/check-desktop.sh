#!/usr/bin/env bash
# Starts the program as a user would, on a throw-away demo installation under
# Xvfb, and checks what a user sees of a due entry: the notification window's
# exact title, and that a stray Enter in it leaves the entry in its log.
# Leaves a screenshot in build/desktop-check.png. Run after a build.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
display=:$((90 + RANDOM % 100))
cleanup() {
    kill "${program:-}" "${xvfb:-}" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

build/kalvex4-setup --sandbox "$work/sandbox" --demo >/dev/null
export KALVEX4_STORE="$work/sandbox/Kalvex4.conf" KALVEX4_EXCHANGE="$work/sandbox/Kalvex4.tmp"
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
sleep 1
build/kalvex4 >"$work/program.log" 2>&1 &
program=$!

window=""
for _ in $(seq 50); do
    window=$(xdotool search --name '^Kalvex - message$' 2>/dev/null | head -1) && [[ -n $window ]] && break
    sleep 0.2
done
[[ -n $window ]] || { echo "FAIL: no notification window"; exit 1; }
title=$(xprop -id "$window" _NET_WM_NAME | sed 's/^[^"]*"//; s/"$//')
[[ $title == "Kalvex - message" ]] || { echo "FAIL: title is \"$title\""; exit 1; }
echo "ok: the notification window is titled \"$title\""

private_log=$(ls "$work"/sandbox/logs/private/*.log)
sleep 0.5
xdotool windowfocus --sync "$window" key Return
sleep 1
import -window root build/desktop-check.png
grep -q '^Numer=0' "$private_log" || { echo "FAIL: Enter removed the entry"; exit 1; }
xdotool search --name '^Kalvex - message$' >/dev/null || { echo "FAIL: Enter closed the window"; exit 1; }
echo "ok: Enter left the entry in $private_log and the window open"
