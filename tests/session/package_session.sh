#!/usr/bin/env bash
# The Debian package on this machine, as root (CI's machine is disposable):
#   package_session.sh BUILD_DIR
# builds the package, installs it with apt-get, checks it against Debian's
# policy (lintian) and its desktop files, reinstalls and upgrades it over the
# administrator's changes, lets a new user's sessions (an XEmbed tray; a
# StatusNotifierItem panel on a private bus) start the program from its
# autostart entry, open the editor from the icon and by a second start, checks
# that no start wrote the user's autostart entry, then purges the package: the
# store goes, the user's logs stay.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=package_checks.sh
source "$here/package_checks.sh"
if [[ $(id -u) -ne 0 ]]; then
    echo "SKIP: installing a package needs root"
    exit 77
fi
work=$(mktemp -d)
user=kvsession$$
cleanup() {
    pkill -u "$user" 2>/dev/null || true
    userdel -r "$user" 2>/dev/null || true
    dpkg -s kalvex4 >/dev/null 2>&1 && apt-get purge -y -qq kalvex4 >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" >cpack.log 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/kalvex4_*.deb)
mkdir "$work/newer"
(cd "$work/newer" && cpack -G DEB --config "$build/CPackConfig.cmake" -D CPACK_PACKAGE_VERSION=4.99 \
    >cpack.log 2>&1) || { cat "$work/newer/cpack.log"; fail "cpack of the newer version"; }
newer=$(ls "$work"/newer/kalvex4_4.99*.deb)
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get install $deb"; }
echo "ok: apt-get installed $(basename "$deb")"

[[ $(kalvex4 --version) == "kalvex4 4.17" ]] || fail "kalvex4 --version says \"$(kalvex4 --version)\""
env -u DISPLAY -u WAYLAND_DISPLAY kalvex4 --help | grep -q -- '--version' || fail "kalvex4 --help"
desktop-file-validate /usr/share/applications/kalvex4.desktop /etc/xdg/autostart/kalvex4.desktop ||
    fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic /usr/share/metainfo/com.wendrik.kalvex4.metainfo.xml \
    >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log"; fail "appstreamcli validate"; }
for size in 16 22 24 32 48 64 128 256; do
    [[ $(identify -format '%wx%h' "/usr/share/icons/hicolor/${size}x${size}/apps/kalvex4.png") == "${size}x${size}" ]] ||
        fail "no ${size} pixel icon"
done
man -l /usr/share/man/man1/kalvex4.1.gz >/dev/null 2>&1 || fail "the manual page does not format"
echo "ok: --version, --help, the desktop files, AppStream metadata, icons and manual page"
store=/etc/xdg/Wendrik/Kalvex4.conf
[[ -f $store && $(stat -c %a "$store") == 644 ]] || fail "no store written by the package"
[[ $(stat -c %a /var/lib/kalvex4/logs/private) == 1777 ]] || fail "the private log folder is not sticky"
check_policy "$deb"
check_upgrade "$deb" "$newer"

useradd -m -s /bin/bash "$user"
cp "$here/user_session.sh" "$build/kv_sni_watcher" "$work/"
chown "$user" "$work"  # the session's folder is that user's alone
for mode in xembed sni; do
    runuser -u "$user" -- env -i HOME="/home/$user" USER="$user" LOGNAME="$user" \
        PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 "$work/user_session.sh" "$mode" "$work" ||
        fail "the $mode session"
    pkill -u "$user" 2>/dev/null || true
    sleep 0.5
done
cp "$work"/session-*.png "$build/" 2>/dev/null || true
check_autostart

# The user's own log, written as that user, outlives the package.
log=/var/lib/kalvex4/logs/private/$user.log
runuser -u "$user" -- sh -c "umask 077; printf '[0]\r\nTytul=Kept\r\nNumer=0\r\n' >$log"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq kalvex4 >"$work/purge.log" 2>&1 ||
    { cat "$work/purge.log"; fail "apt-get purge"; }
[[ ! -e $store ]] || fail "purge left the store"
[[ ! -e /usr/bin/kalvex4 ]] || fail "purge left the program"
grep -q 'Tytul=Kept' "$log" || fail "purge took the user's log"
echo "ok: apt-get purge took the store and left $log"
echo "package_session: 2 sessions, an upgrade, 0 faults"
