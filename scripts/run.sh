#!/bin/bash
# The main job on a fresh machine: installs what is missing, builds, creates
# the Wine prefix and runs the host program, which loads Sefrabox.dll and
# reports its module flag, export table and shared block.
# Usage: scripts/run.sh [host program arguments...]   (default: info)
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

cd "$BUILD_DIR/bin"
status=0
wine sefrabox-host.exe "${@:-info}" </dev/null || status=$?
exit "$status"
