#!/usr/bin/env bash
# Builds Kalvex4, lays out a sandbox installation with entries due today in
# ./sandbox and starts the program on it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
rm -rf sandbox
build/kalvex4-setup --sandbox sandbox --demo
export KALVEX4_STORE="$PWD/sandbox/Kalvex4.conf"
export KALVEX4_EXCHANGE="$PWD/sandbox/Kalvex4.tmp"
exec build/kalvex4 "$@"
