#!/usr/bin/env bash
# Builds Kalvex4 and runs every test, the engine's Windows build under Wine
# and the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer
# (asan_suite) included. With --linux-only the mingw-w64 compiler and Wine are
# not installed, and the Windows tests are skipped unless they are already
# here; with --sanitize only the sanitized suite runs.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ "${1:-}" == "--sanitize" ]]; then
    # Only the Linux tree, with AddressSanitizer and UndefinedBehaviorSanitizer.
    scripts/deps.sh
    exec scripts/sanitize-suite.sh "$PWD" "$PWD/build-asan"
elif [[ "${1:-}" == "--linux-only" ]]; then
    scripts/deps.sh
else
    scripts/deps.sh --windows
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build -j"$(nproc)"
cd build
status=0
ctest --output-on-failure -j2 || status=$?
# What each proof counted: the last line of its output.
echo "Proofs:"
for proof in asan_suite fuzz_profile fuzz_logbook fuzz_icalendar crash_kill writers_public_log hostile_files; do
    last=$(awk -v name="$proof" '$0 ~ "Testing: " name "$" {f=1} f && /<end of output>/ {print last; exit}
        f && NF {last=$0}' Testing/Temporary/LastTest.log 2>/dev/null || true)
    echo "  $proof: ${last:-(not run)}"
done
exit "$status"
