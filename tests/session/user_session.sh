#!/usr/bin/env bash
# One user's desktop session on the installed package, run as that user:
#   user_session.sh xembed|sni WORK
# Xvfb with an XEmbed tray (trayer), or with a private session bus whose
# StatusNotifierWatcher and host are our test double (WORK/kv_sni_watcher).
# The session starts what its autostart entries name; the program's icon must
# appear, and activating it must open the editor. Screenshots go to WORK.
set -euo pipefail
mode=$1 work=$2
export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
display=:$((200 + RANDOM % 300))
pids=()
cleanup() {
    kill "${pids[@]}" 2>/dev/null || true
    rm -rf "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT
fail() {
    echo "FAIL ($mode): $*"
    import -display "$DISPLAY" -window root "$work/session-$mode-failed.png" 2>/dev/null || true
    cat "$work/program-$mode.log" 2>/dev/null || true
    exit 1
}
wait_for() {  # tries command...: up to 15 s
    local tries=$1
    shift
    for _ in $(seq "$tries"); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
wait_for 50 xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"

if [[ $mode == sni ]]; then
    # A private session bus: the program must find the panel on it, not on the machine's.
    read -r address pid < <(dbus-daemon --session --fork --nopidfile --print-address=1 \
        --print-pid=1 | paste -sd' ')
    pids+=("$pid")
    export DBUS_SESSION_BUS_ADDRESS=$address
    "$work/kv_sni_watcher" >"$work/watcher.log" 2>&1 &
    pids+=($!)
    wait_for 50 grep -q '^watching' "$work/watcher.log" || fail "the watcher did not start: $(cat "$work/watcher.log")"
else
    unset DBUS_SESSION_BUS_ADDRESS
    trayer --edge top --align right --widthtype pixel --width 100 --height 32 >/dev/null 2>&1 &
    pids+=($!)
fi

# The session starts the autostart entries: a user's own one overrides the
# machine's of the same name, and "Hidden=true" turns it off.
entry=""
for dir in "${XDG_CONFIG_HOME:-$HOME/.config}" ${XDG_CONFIG_DIRS:-/etc/xdg}; do
    [[ -f $dir/autostart/kalvex4.desktop ]] && { entry=$dir/autostart/kalvex4.desktop; break; }
done
[[ -n $entry ]] || fail "no autostart entry for kalvex4"
grep -qx 'Hidden=true' "$entry" && fail "$entry is hidden"
exec_line=$(sed -n 's/^Exec=//p' "$entry" | head -1)
# The value is a string (backslashes doubled), then quoted as for a shell.
eval "set -- ${exec_line//\\\\/\\}"
echo "ok ($mode): the session starts \"$*\" from $entry"
"$@" >"$work/program-$mode.log" 2>&1 &
pids+=($!)

# Windows by size: the start-up window is 507 wide, the editor 561 x 593.
window_of() { xwininfo -root -tree | awk -v size="$1" '/"Kalvex4": \(/ && $0 ~ " " size "\\+" {print $1; exit}'; }
viewable() { local w; w=$(window_of "$1"); [[ -n $w ]] && xwininfo -id "$w" | grep -q IsViewable; }
wait_for 75 viewable '507x127' || fail "no start-up window"
echo "ok ($mode): the start-up window shows"

if [[ $mode == sni ]]; then
    wait_for 75 grep -q '^registered' "$work/watcher.log" || fail "no item registered with the watcher"
    line=$(grep '^registered' "$work/watcher.log")
    [[ $line == *'title="Kalvex4"'* || $line == *'title="Kalvex'* ]] || fail "item without its title: $line"
    [[ $line =~ pixmaps=[0-9] || $line == *'icon-name="kalvex4"'* ]] || fail "item without an icon: $line"
    echo "ok ($mode): the panel shows the item: $line"
    sleep 4  # the start-up window hides behind the icon
    # A panel's click: KDE and GNOME activate an item with one.
    read -r _ bus path _ <<<"$line"
    dbus-send --session --print-reply --dest="$bus" "$path" org.kde.StatusNotifierItem.Activate \
        int32:10 int32:10 >/dev/null || fail "the item could not be activated"
else
    wait_for 75 test -n "$(window_of '22x[0-9]+')" || fail "no icon in the XEmbed tray"
    echo "ok ($mode): the icon is in the XEmbed tray"
    sleep 4  # the start-up window hides behind the icon
    eval "$(xdotool getwindowgeometry --shell "$(window_of '22x[0-9]+')")"
    xdotool mousemove $((X + 10)) $((Y + 10)) click --repeat 2 --delay 80 1
fi
wait_for 50 viewable '561x593' || fail "activating the icon opened no editor"
sleep 0.5
import -window root "$work/session-$mode.png"
echo "ok ($mode): activating the icon opened the editor"

# Started again from the menu while it runs: the running one opens its editor,
# and the second start ends at once, with no message box waiting for a click.
xdotool windowfocus --sync "$(window_of '561x593')" key Escape
wait_for 50 bash -c "! xwininfo -id $(window_of '561x593') | grep -q IsViewable" ||
    fail "Escape did not close the editor"
status=0
timeout 5 "$@" >>"$work/second-$mode.log" 2>&1 || status=$?
[[ $status == 0 ]] || fail "the second start did not end at once (status $status): $(cat "$work/second-$mode.log")"
wait_for 50 viewable '561x593' || fail "a second start opened no editor"
echo "ok ($mode): a second start opened the running one's editor and ended at once"
