#!/bin/bash
# Builds everything, starts the prefix's Wine server on a private Xvfb and
# runs the benchmark program, which prints one table on stdout (progress
# lines on stderr).
# Usage: scripts/bench.sh [--quick] [sefrabox_bench options...]
set -euo pipefail
# The set-up's own output goes with the progress lines.
. "$(dirname "$0")/wine-session.sh" >&2

# Through a file, not a pipe: a Wine process started on the way would
# inherit the pipe and keep it open after the program ends.
cd "$BUILD_DIR/bin"
out="$(mktemp)"
rc=0
wine ./sefrabox_bench.exe "$@" >"$out" || rc=$?
tr -d '\r' <"$out"
rm -f "$out"
exit "$rc"
