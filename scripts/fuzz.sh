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

# name, then its sources (the code under test has no Windows dependency).
targets=(
    "trace_format tests/fuzz/fuzz_trace_format.cpp src/diagnostics/trace_format.cpp"
    "schema tests/fuzz/fuzz_schema.cpp standins/palmet/schema.cpp"
    "drive_targets tests/fuzz/fuzz_drive_targets.cpp src/volume/drive_targets_fill.cpp"
    "mbcs_text tests/fuzz/fuzz_mbcs_text.cpp src/store/mbcs_text.cpp"
    "sendto_text tests/fuzz/fuzz_sendto_text.cpp src/sendto/sendto_text.cpp src/store/mbcs_text.cpp"
)

status=0
for entry in "${targets[@]}"; do
    read -r name sources <<<"$entry"
    exe="$out/fuzz_$name"
    srcs=()
    for s in $sources; do srcs+=("$ROOT/$s"); done
    clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
        -I"$ROOT/src" -I"$ROOT/standins/palmet" "${srcs[@]}" -o "$exe"
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
