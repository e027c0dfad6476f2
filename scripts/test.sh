#!/usr/bin/env bash
# Builds Kalvex4 and runs every test (the Windows ones too where mingw-w64 and
# Wine are installed: scripts/deps.sh --windows).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh "$@"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build -j"$(nproc)"
cd build && ctest --output-on-failure -j2
