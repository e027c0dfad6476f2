#!/usr/bin/env bash
# The real program on a sandbox with python3-dbusmock's notification daemon on
# a private session bus: the due entry's Notify call, "Done" chosen in the
# bubble removing the once-only entry and closing the message window (read
# over AT-SPI, as a screen reader sees it), and no
# call at all when the user switched desktop notifications off.
#   bubble_session.sh BUILD_DIR
set -euo pipefail
name=bubble-session
source "$(dirname "$0")/session_kit.sh"

mock() {  # python code with `mock`, the daemon's object
    $python -c "import dbus
mock = dbus.SessionBus().get_object('org.freedesktop.Notifications', '/org/freedesktop/Notifications')
$1"
}
calls() { mock "for t, m, a in mock.GetCalls(dbus_interface='org.freedesktop.DBus.Mock'): print(m, *[str(x) for x in a[:5]])"; }
notified() { calls | grep -q "^Notify Kalvex4 0  $1"; }
# The message window as a screen reader finds it (AT-SPI): its text, or nothing.
message() {
    timeout 10 $python -c "
import pyatspi
def walk(node):
    for child in node:
        if child is None: continue
        if child.getRoleName() == 'text' and child.name == 'Message':
            t = child.queryText()
            return t.getText(0, t.characterCount)
        found = walk(child)
        if found is not None: return found
for app in pyatspi.Registry.getDesktop(0):
    if app is None or app.name != 'Kalvex4': continue
    for w in app:
        if w.name == 'Kalvex - message':
            print(walk(w) or '(empty)')
" 2>/dev/null
}
shown() { [[ $(message) == "$1" ]]; }
gone() { [[ -z $(message) ]]; }

start_sandbox
today=$(date +%F)
printf '[0]\r\nTytul=Dentist\r\nNumer=0\r\nInformacja=Call before noon.\r\nData=%s\r\nTyp=Default\r\nDzwiek=-choose-\r\n' \
    "$today" >"$log"
start_display
start_bus
export DBUS_SESSION_BUS_ADDRESS=$bus_address
# The accessibility bus of this session, and Qt's bridge to it.
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
pids+=($!)
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
$python -m dbusmock --template notification_daemon \
    -p '{"capabilities": "actions body body-markup persistence"}' >"$work/daemon.log" 2>&1 &
pids+=($!)
wait_for 100 mock "mock.GetCapabilities(dbus_interface='org.freedesktop.Notifications')" \
    2>/dev/null || fail "the notification daemon double did not start"

"$build/kalvex4" >"$work/program.log" 2>&1 &
pids+=($!)
wait_for 100 shown "Call before noon." || fail "no message window over AT-SPI"
wait_for 50 notified Dentist || fail "no Notify call: $(calls)"
echo "ok: the due entry went to the notification service: $(calls | grep ^Notify)"
mock "mock.EmitSignal('org.freedesktop.Notifications', 'ActionInvoked', 'us', [dbus.UInt32(1), 'done'],
      dbus_interface='org.freedesktop.DBus.Mock')"
wait_for 50 gone || fail "Done in the bubble left the message window open (AT-SPI)"
grep -q '^Numer=' "$log" && fail "Done in the bubble left the entry in $log"
echo "ok: Done in the bubble removed the entry and closed the window"

# Switched off by this user: the next start sends nothing.
kill "${pids[-1]}"
wait "${pids[-1]}" 2>/dev/null || true
printf '[0]\r\nTytul=Second\r\nNumer=0\r\nInformacja=Again.\r\nData=%s\r\nTyp=Default\r\nDzwiek=-choose-\r\n' \
    "$today" >"$log"
printf '[kalvex4]\r\npowiadomienia=0\r\n' >"$userconfig"
mock "mock.ClearCalls(dbus_interface='org.freedesktop.DBus.Mock')"
"$build/kalvex4" >>"$work/program.log" 2>&1 &
pids+=($!)
wait_for 100 shown "Again." || fail "no message window on the second start"
sleep 1
calls | grep -q '^Notify' && fail "a Notify call although switched off: $(calls)"
echo "ok: switched off, the second start sent nothing"
echo "bubble_session: 0 faults"
