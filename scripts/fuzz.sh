#!/bin/bash
# Builds the fuzz targets natively (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time on a copy of
# its committed seed corpus. A crash fails the run and leaves its input in
# $BUILD_DIR/fuzz/<name>/; add that input to tests/fuzz/corpus/<name>/ and a
# test case beside the code it broke.
# Usage: scripts/fuzz.sh [seconds per target, default 10]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
SECONDS_EACH="${1:-${FUZZ_SECONDS:-10}}"
out="$BUILD_DIR/fuzz"
mkdir -p "$out"

# The targets are listed in tests/fuzz/CMakeLists.txt; their tree is
# configured once and rebuilt incrementally, so a run spends its time fuzzing.
names=(trace_format schema drive_targets mbcs_text sendto_text)
if [ ! -f "$out/build/CMakeCache.txt" ]; then
    CXX=clang++ cmake -S "$ROOT/tests/fuzz" -B "$out/build" >/dev/null
fi
if ! log="$(cmake --build "$out/build" -j2 2>&1)"; then
    echo "$log" >&2
    exit 1
fi

status=0
for name in "${names[@]}"; do
    exe="$out/build/fuzz_$name"
    work="$out/$name"
    rm -rf "$work"
    mkdir -p "$work/corpus"
    cp "$ROOT/tests/fuzz/corpus/$name/"* "$work/corpus/"
    if (cd "$work" && "$exe" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=1024 \
        corpus >"$work/log.txt" 2>&1); then
        echo "fuzz $name: $(grep -o 'Done [0-9]* runs' "$work/log.txt" | tail -1), no failure"
    else
        echo "fuzz $name: FAILED, see $work/log.txt" >&2
        tail -30 "$work/log.txt" >&2
        status=1
    fi
done
exit "$status"
