# Checks of the installed package, sourced by package_session.sh (as root):
# Debian's policy, upgrades that keep the administrator's settings, and a start
# with the session that obeys the desktop. Each function fails the run itself.

# lintian, the documentation files and the hardening of the programs.
check_policy() {
    local deb=$1 prog
    lintian --fail-on error,warning "$deb" \
        >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian $(basename "$deb")"; }
    grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
        /usr/share/doc/kalvex4/copyright || fail "no machine-readable copyright file"
    grep -q '^License: GPL-3.0-or-later' /usr/share/doc/kalvex4/copyright || fail "copyright without its licence"
    zcat /usr/share/doc/kalvex4/changelog.Debian.gz | head -1 | grep -q '^kalvex4 (4.17-1)' ||
        fail "no changelog.Debian.gz for 4.17-1"
    for page in man1/kalvex4.1.gz man8/kalvex4-setup.8.gz; do
        gzip -t "/usr/share/man/$page" || fail "$page is not compressed"
    done
    local headers symbols
    for prog in /usr/bin/kalvex4 /usr/bin/kalvex4-setup; do
        # Whole outputs first: grep -q ending a pipe early would fail it under pipefail.
        headers=$(readelf -hldW "$prog")
        symbols=$(nm -D "$prog")
        grep -q 'DYN (Position-Independent' <<<"$headers" || fail "$prog is no PIE"
        grep -q GNU_RELRO <<<"$headers" || fail "$prog has no RELRO"
        grep -Eq 'BIND_NOW|FLAGS.*NOW' <<<"$headers" || fail "$prog binds lazily"
        grep -q __stack_chk_fail <<<"$symbols" || fail "$prog has no stack protector"
        grep -Eq '__[a-z_]+_chk@' <<<"$symbols" || fail "$prog is not fortified"
    done
    echo "ok: lintian clean, copyright, changelog.Debian.gz, compressed manual pages, PIE, RELRO, BIND_NOW, stack protector, FORTIFY"
}

# What the administrator set, as one text: the store, the types, the frames, the look, config.ini.
settings_snapshot() {
    cat /etc/xdg/Wendrik/Kalvex4.conf
    (cd /var/lib/kalvex4 && ls -1 && sha256sum style.ini style_list.ini config.ini kv4.man data/*)
}

# Install, change a folder, add a type, change a frame, the look and config.ini;
# the same package again and a newer one must keep all of it.
check_upgrade() {
    local deb=$1 newer=$2 before
    local data=/var/lib/kalvex4
    [[ -L $data/help && $(readlink "$data/help") == /usr/share/kalvex4/help ]] ||
        fail "the data folder holds a copy of the help page, not a link"
    [[ -L $data/click.wav ]] || fail "the data folder holds a copy of click.wav"
    mkdir -p /srv/kvpublic && chmod 1777 /srv/kvpublic
    sed -i 's#^sciezka_log_glowny=.*#sciezka_log_glowny=/srv/kvpublic/#' /etc/xdg/Wendrik/Kalvex4.conf
    printf '[5]\r\nNazwa=Company\r\n' >>"$data/style_list.ini"
    printf '[Company]\r\nramka=forest.bmp\r\ncolor=255\r\nsize=14\r\nface=Verdana\r\n' >>"$data/style.ini"
    cp "$data/data/sunrise.bmp" "$data/data/forest.bmp"
    mv "$data/Kalvex4.exe.manifest" "$data/kv4.man"
    printf '[glowne]\r\nzmienione=tak\r\nautostart=1\r\nautolog=0\r\nstyl=1\r\n' >"$data/config.ini"
    before=$(settings_snapshot)
    apt-get install -y -qq --reinstall "$deb" >"$work/reinstall.log" 2>&1 ||
        { cat "$work/reinstall.log"; fail "apt-get install --reinstall"; }
    [[ $(settings_snapshot) == "$before" ]] || { diff <(echo "$before") <(settings_snapshot); fail "a reinstall changed the settings"; }
    apt-get install -y -qq "$newer" >"$work/upgrade.log" 2>&1 || { cat "$work/upgrade.log"; fail "the upgrade"; }
    [[ $(dpkg-query -W -f='${Version}' kalvex4) == 4.99-1 ]] || fail "the newer package is not installed"
    [[ $(settings_snapshot) == "$before" ]] || { diff <(echo "$before") <(settings_snapshot); fail "an upgrade changed the settings"; }
    [[ -f /srv/kvpublic/log4.ini ]] || fail "setup did not lay out the administrator's public folder"
    echo "ok: a reinstall and an upgrade to 4.99 kept the store's folders, the added type, the frame, the look and config.ini"
    # The sessions below run on the shipped look and the package's folders again.
    mv "$data/kv4.man" "$data/Kalvex4.exe.manifest"
    sed -i 's#^sciezka_log_glowny=.*#sciezka_log_glowny=/var/lib/kalvex4/logs/public/#' /etc/xdg/Wendrik/Kalvex4.conf
}

# One start of the program as the user, with no display, for a few seconds.
start_as_user() {
    runuser -u "$user" -- env -i HOME="/home/$user" USER="$user" LOGNAME="$user" \
        PATH=/usr/bin:/bin LANG=C.UTF-8 "$@" timeout 4 kalvex4 -platform offscreen \
        >>"$work/offscreen.log" 2>&1 || true
}

# The user's autostart entry is written only when the user's setting changes.
check_autostart() {
    local own=/home/$user/.config/autostart/kalvex4.desktop before
    [[ ! -e $own ]] || fail "the sessions wrote $own though nothing was changed: $(cat "$own")"
    grep -qx 'TryExec=kalvex4' /etc/xdg/autostart/kalvex4.desktop || fail "the autostart entry has no TryExec"
    # The desktop's own switch turned it off: a manual start keeps it off, byte for byte.
    runuser -u "$user" -- sh -c "mkdir -p ${own%/*} && sed 's/^X-GNOME-Autostart-enabled=true/X-GNOME-Autostart-enabled=false/' /etc/xdg/autostart/kalvex4.desktop >$own"
    before=$(sha256sum "$own")
    start_as_user
    [[ $(sha256sum "$own") == "$before" ]] || fail "a manual start overrode the desktop's switch: $(cat "$own")"
    rm -f "$own"
    # A start that ends before its configuration step writes nothing.
    mv /etc/xdg/Wendrik/Kalvex4.conf "$work/store.away"
    start_as_user
    mv "$work/store.away" /etc/xdg/Wendrik/Kalvex4.conf
    [[ ! -e $own ]] || fail "a start without a store wrote $own"
    # A run on an installation of its own whose saved settings say off.
    runuser -u "$user" -- kalvex4-setup --sandbox "/home/$user/demo" --demo >/dev/null
    runuser -u "$user" -- sh -c "printf '[glowne]\r\nzmienione=tak\r\nautostart=0\r\n' >/home/$user/demo/data/config.ini"
    start_as_user KALVEX4_STORE="/home/$user/demo/Kalvex4.conf"
    [[ ! -e $own ]] || fail "a sandboxed run wrote $own"
    echo "ok: no start wrote the autostart entry: not by default, not over the desktop's switch, not on an early end, not in a sandbox"
}
