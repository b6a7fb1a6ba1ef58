#!/bin/bash
# Builds everything, starts the prefix's Wine server on a private Xvfb and
# runs the benchmark program, which prints one table on stdout (progress
# lines on stderr).
# Usage: scripts/bench.sh [--quick] [sefrabox_bench options...]
set -euo pipefail
# The set-up's own output goes with the progress lines.
. "$(dirname "$0")/wine-session.sh" >&2

cd "$BUILD_DIR/bin"
wine ./sefrabox_bench.exe "$@" | tr -d '\r'
