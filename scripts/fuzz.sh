#!/usr/bin/env bash
# The engine's libFuzzer targets, built with clang in build-fuzz.
#
#   scripts/fuzz.sh build                  configure and build the targets
#   scripts/fuzz.sh run TARGET RUNS [SEED] replay TARGET's corpus, then RUNS new inputs;
#                                          the corpus in the tree is left as it is
#   scripts/fuzz.sh long TARGET SECONDS    fuzz for SECONDS, adding what is new to the
#                                          tree's corpus (commit its growth)
# TARGET is profile, logbook or icalendar. An input that takes more than 20
# seconds counts as a fault (a stall), as does a crash. A fault stops the run and leaves the input
# that caused it as build-fuzz/crash-*; `build-fuzz/fuzz_TARGET FILE` replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-fuzz
case "${1:-}" in
build)
    CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_FUZZ=ON >/dev/null
    cmake --build "$build" -j"$(nproc)" >"$build.log" 2>&1 || { tail -40 "$build.log"; exit 1; }
    echo "fuzz targets built in $build"
    ;;
run)
    target=$2 runs=$3 seed=${4:-$RANDOM}
    corpus=(tests/fuzz/corpus/$target)
    # The calendars of the import's own tests seed the reader's corpus too.
    if [[ $target == icalendar ]]; then corpus+=(tests/cli/fixtures); fi
    fresh=$(mktemp -d)
    trap 'rm -rf "$fresh"' EXIT
    # New inputs go to the first folder, a throw-away one; the tree's corpus is replayed.
    "$build/fuzz_$target" -runs="$runs" -seed="$seed" -timeout=20 -artifact_prefix="$build/" \
        -print_final_stats=0 "$fresh" "${corpus[@]}" >"$build/$target.log" 2>&1 || {
        tail -60 "$build/$target.log"
        echo "FAULT: fuzz_$target, seed $seed; the input is in $build/crash-* (see above)"
        exit 1
    }
    echo "$(find "${corpus[@]}" -type f | wc -l) corpus files replayed, $runs inputs, seed $seed, 0 faults"
    ;;
long)
    target=$2 seconds=$3
    "$build/fuzz_$target" -max_total_time="$seconds" -timeout=20 -artifact_prefix="$build/" \
        "tests/fuzz/corpus/$target"
    ;;
*)
    sed -n '2,12p' "$0"
    exit 2
    ;;
esac
