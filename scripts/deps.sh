#!/usr/bin/env bash
# Installs what building, running and testing need, when it is missing.
# With --windows also the mingw-w64 compiler and Wine for the Windows tests.
set -euo pipefail
pkgs=(build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools libcanberra-dev
      libgtest-dev googletest libbenchmark-dev xvfb xauth x11-utils imagemagick
      fonts-dejavu-core fonts-urw-base35 sound-theme-freedesktop clang-format xdotool trayer
      clang libclang-rt-14-dev librsvg2-bin desktop-file-utils appstream dbus
      dpkg-dev fakeroot file man-db procps lintian faketime python3-dbusmock python3-dbus python3-gi dunst
      at-spi2-core python3-pyatspi libical-dev python3-vobject python3-icalendar
      python3-recurring-ical-events)
if [[ "${1:-}" == "--windows" ]]; then
    pkgs+=(g++-mingw-w64-x86-64 wine64)
fi
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    SUDO=""
    [[ $(id -u) -ne 0 ]] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
