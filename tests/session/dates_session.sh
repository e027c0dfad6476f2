#!/usr/bin/env bash
# The real program on a sandbox installation under a fake clock (libfaketime)
# and a login manager double on a private system bus (python3-dbusmock):
#   dates_session.sh BUILD_DIR
# 1. The clock stands ten seconds before midnight: at midnight the entry of
#    the new day is shown without any restart.
# 2. The clock moves three days on while the machine "sleeps"; the login
#    manager says PrepareForSleep(false): the day missed is shown as missed,
#    then the day's own entry, and the user's last check becomes that day.
# 3. Monthly entries of three days, the program off for the first two: on the
#    third the two missed ones are answered "Done", the day's own is left open
#    and the program is ended (SIGTERM). The next day only the one not
#    answered comes back, once.
# 4. A monthly entry of the 31st is shown on the last day of a shorter month.
set -euo pipefail
name=dates-session
source "$(dirname "$0")/session_kit.sh"

# Fake days: the clock is real time plus an offset, read again at every call.
day0=$(date -d 'tomorrow' +%F)  # the first fake day, whose midnight we cross
day1=$(date -d "$day0 +1 day" +%F)
day3=$(date -d "$day0 +3 day" +%F)
day4=$(date -d "$day0 +4 day" +%F)
offset_to() { echo $(($(date -d "$1" +%s) - $(date +%s))); }
export FAKETIME_TIMESTAMP_FILE=$work/faketime FAKETIME_NO_CACHE=1
# Qt's timers keep real time: only the wall clock is moved.
export FAKETIME_DONT_FAKE_MONOTONIC=1
echo "+$(offset_to "$day0 23:59:50")" >"$FAKETIME_TIMESTAMP_FILE"

start_sandbox
entry() {  # slot title date
    printf '[%s]\r\nTytul=%s\r\nNumer=%s\r\nInformacja=%s\r\nData=%s\r\nTyp=Default\r\nDzwiek=-choose-\r\n' \
        "$1" "$2" "$1" "$2" "$3"
}
{ entry 0 "New day" "$day1"; entry 1 "Missed while asleep" "$day3"; entry 2 "Today after waking" "$day4"; } >"$log"
start_display

# The system bus of this test, with the login manager double on it.
start_bus
export DBUS_SYSTEM_BUS_ADDRESS=$bus_address
$python -m dbusmock --system --template logind >"$work/logind.log" 2>&1 &
pids+=($!)
logind_up() { dbus-send --system --print-reply --dest=org.freedesktop.login1 /org/freedesktop/login1 \
    org.freedesktop.DBus.Peer.Ping >/dev/null 2>&1; }
wait_for 100 logind_up || fail "the login manager double did not start: $(cat "$work/logind.log")"
sleep_signal() {  # true: going to sleep, false: woken
    $python - "$1" <<'PY'
import sys, dbus
bus = dbus.SystemBus()
mock = bus.get_object("org.freedesktop.login1", "/org/freedesktop/login1")
mock.EmitSignal("org.freedesktop.login1.Manager", "PrepareForSleep", "b",
                [dbus.Boolean(sys.argv[1] == "true")], dbus_interface="org.freedesktop.DBus.Mock")
PY
}

faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 | head -1)
LD_PRELOAD=$faketime_lib "$build/kalvex4" >"$work/program.log" 2>&1 &
pids+=($!)
program=${pids[-1]}

# The active entry the program announced last, and the message window.
active() { grep -a -m1 '^aktywny_wpis=' "$KALVEX4_EXCHANGE" 2>/dev/null | tr -d '\r' | cut -d= -f2; }
message() { xdotool search --onlyvisible --name '^Kalvex - message$' 2>/dev/null | head -1; }
done_click() {  # "Done" in the message window on screen
    local w
    w=$(message)
    eval "$(xdotool getwindowgeometry --shell "$w")"
    xdotool mousemove $((X + 249)) $((Y + 440)) click 1
    wait_for 50 bash -c "! xdotool search --onlyvisible --name '^Kalvex - message\$' | grep -qx $w"
}
last_check() { grep -a '^ostatnie_sprawdzenie=' "$userconfig" 2>/dev/null | tr -d '\r' | cut -d= -f2; }
checked_on() { [[ $(last_check) == "$1" ]]; }
shown() { [[ -n $(message) ]]; }

wait_for 100 checked_on "$day0" || fail "the start-up round did not finish on $day0"
[[ -z $(message) ]] || fail "a message was shown before midnight"
echo "ok: started at $day0 23:59:50, nothing due"

# The command line beside the running program: no single-start guard stops it, no display is asked.
out=$(timeout 10 env -u DISPLAY "$build/kalvex4" list --due "$day1" --json) ||
    fail "list beside the running program ended with status $?"
[[ $out == *'"subject": "New day"'* ]] || fail "list --due $day1 did not give the new day's entry: $out"
echo "ok: the command line answers beside the running program, without a display"

wait_for 250 shown || fail "no message after midnight"
[[ $(active) == 0 ]] || fail "after midnight the active entry is $(active), not the new day's"
sleep 0.7  # until it has loaded
import -window root "$build/dates-session-midnight.png"
done_click || fail "Done did not close the midnight message"
wait_for 50 checked_on "$day1" || fail "the last check is $(last_check), not $day1"
echo "ok: at midnight the new day's entry was shown without a restart; last check $day1"

# Asleep three days; the timers of the program did not run meanwhile.
sleep_signal true
echo "+$(offset_to "$day4 07:30:00")" >"$FAKETIME_TIMESTAMP_FILE"
sleep_signal false
wait_for 100 shown || fail "no message after the resume"
sleep 0.7
import -window root "$build/dates-session-resume.png"
[[ $(active) == 0 ]] || fail "the missed entry (now first) was not shown first: active $(active)"
done_click || fail "Done did not close the missed message"
grep -q 'Missed while asleep' "$log" && fail "the first message after the resume was not the missed entry"
grep -q 'Today after waking' "$log" || fail "the day's entry went before it was shown"
wait_for 100 shown || fail "the day's own entry did not follow"
[[ $(active) == 0 ]] || fail "the day's entry was not shown: active $(active)"
done_click || fail "Done did not close the day's message"
wait_for 50 checked_on "$day4" || fail "the last check is $(last_check), not $day4"
grep -q '^Numer=' "$log" && fail "entries are left in $log: $(cat "$log")"
kill -0 "$program" || fail "the program ended"
echo "ok: after a resume three days on, the missed entry and the day's entry were shown; last check $day4"

# 3. Each answer is kept at once, whatever becomes of the round.
day5=$(date -d "$day0 +5 day" +%F) day6=$(date -d "$day0 +6 day" +%F)
day7=$(date -d "$day0 +7 day" +%F) day8=$(date -d "$day0 +8 day" +%F)
monthly() {  # slot title date
    entry "$@"
    printf 'Wyswietlanie=miesiac\r\n'
}
static=$work/sandbox/logs/static/${user}_staly.log
{ monthly 0 "Monthly one" "$day5"; monthly 1 "Monthly two" "$day6"; monthly 2 "Monthly three" "$day7"; } >"$static"
kill "$program"
wait "$program" 2>/dev/null || true
start_at() {  # day time
    echo "+$(offset_to "$1 $2")" >"$FAKETIME_TIMESTAMP_FILE"
    LD_PRELOAD=$faketime_lib "$build/kalvex4" >>"$work/program.log" 2>&1 &
    pids+=($!)
    program=${pids[-1]}
}
start_at "$day7" 09:00:00
for slot in 0 1; do
    wait_for 100 shown || fail "the missed entry of slot $slot was not shown on $day7"
    [[ $(active) == "$slot" ]] || fail "on $day7 slot $(active) came where the missed slot $slot was due"
    sleep 0.7
    done_click || fail "Done did not close the missed entry of slot $slot"
done
wait_for 100 shown || fail "the day's own monthly entry was not shown on $day7"
[[ $(active) == 2 ]] || fail "on $day7 slot $(active) came where the day's own was due"
kill "$program"  # the window is left open: the round never ends
wait "$program" 2>/dev/null || true
[[ $(last_check) == "$day4" ]] || fail "an unfinished round wrote its last check $(last_check)"
start_at "$day8" 09:00:00
wait_for 100 shown || fail "the entry left open was not shown again on $day8"
[[ $(active) == 2 ]] || fail "on $day8 slot $(active) came back, though it was answered on $day7"
sleep 0.7
import -window root "$build/dates-session-answered.png"
done_click || fail "Done did not close the entry left open"
wait_for 50 checked_on "$day8" || fail "the last check is $(last_check), not $day8"
sleep 1
shown && fail "an entry answered on $day7 came back on $day8 (active $(active))"
echo "ok: answers given before the program was ended were kept; only the open entry came back"

# 4. A monthly entry of the 31st comes on the last day of a shorter month.
kill "$program"
wait "$program" 2>/dev/null || true
month_end=""
for m in 0 1 2 3; do
    first=$(date -d "$day8 +$m month" +%Y-%m-01)
    last=$(date -d "$first +1 month -1 day" +%F)
    if [[ $last > $day8 && ${last:8:2} != 31 ]]; then month_end=$last; break; fi
done
monthly 0 "The 31st" "2020-01-31" >"$static"
before=$(date -d "$month_end -1 day" +%F)
sed -i "s/^ostatnie_sprawdzenie=.*/ostatnie_sprawdzenie=$before\r/" "$userconfig"
start_at "$month_end" 09:00:00
wait_for 100 shown || fail "the entry of the 31st was not shown on $month_end, the month's last day"
[[ $(active) == 0 ]] || fail "on $month_end slot $(active) was shown"
done_click || fail "Done did not close the entry of the 31st"
wait_for 50 checked_on "$month_end" || fail "the last check is $(last_check), not $month_end"
echo "ok: the monthly entry of the 31st was shown on $month_end"

# 5. Five days ahead: the warning comes once, and the day itself still comes.
kill "$program"
wait "$program" 2>/dev/null || true
warn1=$(date -d "$month_end +1 day" +%F) warn2=$(date -d "$month_end +2 day" +%F)
due=$(date -d "$month_end +4 day" +%F)
monthly 0 "Rent" "2020-01-${due:8:2}" >"$static"
sed -i "s/^\[kalvex4\]\r\?$/[kalvex4]\r\nwyprzedzenie=5\r/" "$userconfig"
start_at "$warn1" 09:00:00
wait_for 100 shown || fail "no warning on $warn1 of the entry due $due"
done_click || fail "Done did not close the warning"
wait_for 50 checked_on "$warn1" || fail "the last check is $(last_check), not $warn1"
kill "$program"
wait "$program" 2>/dev/null || true
start_at "$warn2" 09:00:00
wait_for 100 checked_on "$warn2" || fail "the round of $warn2 did not end"
sleep 1
shown && fail "the warning answered on $warn1 came again on $warn2"
kill "$program"
wait "$program" 2>/dev/null || true
start_at "$due" 09:00:00
wait_for 100 shown || fail "the entry was not shown on its own day $due after its warning"
done_click || fail "Done did not close the entry on its day"
echo "ok: with five days ahead the warning came once on $warn1, and the entry on $due"
echo "dates_session: midnight, a resume, answers kept, a month's end and a warning once, 0 faults"
