#!/bin/sh
# Runs every fuzz_<name> of a fuzz build for SECONDS each, from the seed corpus
# fuzz/corpus/<name>/ (read only) and a working corpus kept in the build tree.
# A SEED makes the run repeatable (same binary, same seeds, same inputs tried).
# Usage: scripts/fuzz.sh BUILD_DIR [SECONDS [SEED]]
set -eu
build=${1:?build directory}
seconds=${2:-60}
seed=${3:+-seed=$3}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for exe in "$build"/fuzz/fuzz_*; do
    [ -x "$exe" ] || continue
    name=${exe##*/fuzz_}
    work="$build/fuzz/corpus/$name"
    mkdir -p "$work" "$build/fuzz/crashes/$name"
    seeds="$root/fuzz/corpus/$name"
    [ -d "$seeds" ] || seeds=""
    echo "== fuzz_$name: ${seconds}s"
    if ! "$exe" -max_total_time="$seconds" $seed -print_final_stats=1 \
        -artifact_prefix="$build/fuzz/crashes/$name/" "$work" $seeds; then
        echo "fuzz_$name FAILED: see $build/fuzz/crashes/$name/"
        status=1
    fi
done
exit $status
