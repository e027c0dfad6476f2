# What the program's session tests share; sourced, after `name=...` is set
# and with the build folder as $1. Gives $build, $work (removed at the end),
# $pids (killed at the end), fail, wait_for, a display and a private bus.
build=$(cd "$1" && pwd)
work=$(mktemp -d)
python=/usr/bin/python3
pids=()
cleanup() {
    kill "${pids[@]}" 2>/dev/null || true
    [[ -n ${KEEP_WORK:-} ]] || rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    import -window root "$build/$name-failed.png" 2>/dev/null || true
    cat "$work/program.log" 2>/dev/null || true
    exit 1
}
# Waits up to $1 tenths of a second for the command to succeed.
wait_for() {
    local tries=$1
    shift
    for _ in $(seq "$tries"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
# Xvfb on a display of its own; DISPLAY names it.
start_display() {
    local display=:$((300 + RANDOM % 600))
    Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    export DISPLAY=$display
    wait_for 100 xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"
}
# A bus of the test's own, which starts no service installed on the machine;
# prints its address.
start_bus() {
    local address buspid
    read -r address buspid < <(dbus-daemon --config-file="$(dirname "${BASH_SOURCE[0]}")/private-bus.conf" \
        --fork --nopidfile --print-address=1 --print-pid=1 | paste -sd' ')
    pids+=("$buspid")
    bus_address=$address
}
# A sandbox installation with one user's logs, the program's files in $work.
start_sandbox() {
    "$build/kalvex4-setup" --sandbox "$work/sandbox" >/dev/null
    export KALVEX4_STORE=$work/sandbox/Kalvex4.conf KALVEX4_EXCHANGE=$work/sandbox/Kalvex4.tmp
    export XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    user=$(id -un)
    log=$work/sandbox/logs/private/$user.log
    userconfig=$work/sandbox/data/${user}_config.ini
}
