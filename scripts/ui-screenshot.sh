#!/bin/bash
# Takes a screenshot of the main dialog under a private Xvfb and saves it as
# $BUILD_DIR/main_dialog.png. Usage: BUILD_DIR=... scripts/ui-screenshot.sh [restart]
# ("restart": the restart dialog, saved as $BUILD_DIR/restart_dialog.png).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
cmake --build "$BUILD_DIR" --target ui_screenshot_show >/dev/null
"$ROOT/scripts/prefix.sh" "$BUILD_DIR"
. "$ROOT/scripts/wine-env.sh"
. "$ROOT/scripts/with-display.sh"

work="$(mktemp -d)"
SHOW_PID=
cleanup() {
    touch "$work/done"
    [ -n "$SHOW_PID" ] && wait "$SHOW_PID" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    stop_display
    rm -rf "$work"
}
trap cleanup EXIT
start_display
set_window_management
mode="${1:-main}"
out="$BUILD_DIR/main_dialog.png" crop=640x640+320+192
# The restart dialog is not centred: it opens at the top left.
[ "$mode" = restart ] && out="$BUILD_DIR/restart_dialog.png" crop=400x300+0+0
wine "$BUILD_DIR/bin/ui_screenshot_show.exe" "$(winepath -w "$work/ready")" "$(winepath -w "$work/done")" "$mode" \
    >/dev/null 2>&1 &
SHOW_PID=$!
for _ in $(seq 600); do
    [ -e "$work/ready" ] && break
    sleep 0.1
done
[ -e "$work/ready" ] || { echo "the dialog did not come up" >&2; exit 1; }
sleep 1 # let the last paint reach the X server
import -window root -crop "$crop" "$out"
echo "saved $out"
