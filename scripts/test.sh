#!/bin/bash
# Builds everything and runs every test under Wine, on a private Xvfb.
# Usage: scripts/test.sh [ctest arguments...]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"

"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"
"$ROOT/scripts/prefix.sh" "$BUILD_DIR"

. "$ROOT/scripts/wine-env.sh"
. "$ROOT/scripts/with-display.sh"

cleanup() {
    wineserver -k 2>/dev/null || true
    stop_display
}
trap cleanup EXIT
start_display
wineserver -p
# Start Wine's own background processes now, with their output going
# nowhere: a test program that started them would leave them holding
# ctest's output pipe open.
wine wineboot >/dev/null 2>&1 </dev/null

cd "$BUILD_DIR"
ctest --output-on-failure --timeout 300 "$@"
