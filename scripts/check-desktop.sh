#!/usr/bin/env bash
# Starts the program as a user would, on a throw-away demo installation under
# Xvfb with a system tray (trayer), and checks what a user sees: the
# notification window's exact title, that a stray Enter in it leaves the entry
# in its log, and that a double click on the tray icon opens the editor over
# three logs holding entries. Leaves screenshots in build/desktop-check*.png.
# Run after a build.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
display=:$((90 + RANDOM % 100))
cleanup() {
    kill "${program:-}" "${tray:-}" "${xvfb:-}" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

build/kalvex4-setup --sandbox "$work/sandbox" --demo >/dev/null
# One more entry in each log, not due today, so that every list holds one after the demo's are done.
for log in "$work"/sandbox/logs/private/*.log "$work"/sandbox/logs/static/*.log \
           "$work"/sandbox/logs/public/log4.ini; do
    printf '[1]\r\nTytul=Later\r\nOdbiorca=wszyscy\r\nWyswietlanie=rok\r\nNumer=1\r\nInformacja=Not today.\r\nData=2001-01-01\r\nTyp=Default\r\nDzwiek=-choose-\r\n' >>"$log"
done
export KALVEX4_STORE="$work/sandbox/Kalvex4.conf" KALVEX4_EXCHANGE="$work/sandbox/Kalvex4.tmp"
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
sleep 1
trayer --edge top --align right --widthtype pixel --width 100 --height 32 >/dev/null 2>&1 &
tray=$!
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

# "Done" on each due entry, by mouse, as a user would; the next one follows.
for _ in 1 2 3 4; do
    window=""
    for _ in $(seq 15); do
        window=$(xdotool search --onlyvisible --name '^Kalvex - message$' 2>/dev/null | head -1) || true
        [[ -n $window ]] && break
        sleep 0.2
    done
    [[ -n $window ]] || break
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + 249)) $((Y + 440)) click 1  # "Done"
    sleep 0.5
done
sleep 3  # the start-up window hides behind the icon
# Windows by size: the tray icon is 22 pixels wide, the editor 561.
window_of() { xwininfo -root -tree | awk -v size="$1" '/"Kalvex4": \(/ && $0 ~ " " size "\\+" {print $1; exit}'; }
icon=$(window_of '22x[0-9]+')
[[ -n $icon ]] || { echo "FAIL: no tray icon"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$icon")"
xdotool mousemove $((X + 10)) $((Y + 10)) click --repeat 2 --delay 80 1
editor=""
for _ in $(seq 25); do
    editor=$(window_of '561x593')
    [[ -n $editor ]] && xwininfo -id "$editor" | grep -q IsViewable && break
    editor=""
    sleep 0.2
done
[[ -n $editor ]] || { echo "FAIL: a double click on the tray icon opened no editor"; exit 1; }
sleep 0.5
import -window root build/desktop-check-editor.png
echo "ok: a double click on the tray icon opened the editor (build/desktop-check-editor.png)"
