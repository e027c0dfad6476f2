#!/usr/bin/env bash
# Builds Kalvex4 and runs every test, the engine's Windows build under Wine
# included. With --linux-only the mingw-w64 compiler and Wine are not
# installed, and the Windows tests are skipped unless they are already here.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ "${1:-}" == "--linux-only" ]]; then
    scripts/deps.sh
else
    scripts/deps.sh --windows
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build -j"$(nproc)"
cd build && ctest --output-on-failure -j2
