#!/bin/bash
# Shows the main dialog with its three platform rows (the second chosen, a
# password typed) in a Wine session like the other entry scripts' and saves
# a picture of it, cut out of the screen around its window, as
# $BUILD_DIR/main_dialog.png; with "restart", the restart dialog as
# $BUILD_DIR/restart_dialog.png.
# Usage: scripts/ui-screenshot.sh [main|restart]
set -euo pipefail
mode="${1:-main}"
case "$mode" in
main | restart) ;;
*)
    echo "usage: scripts/ui-screenshot.sh [main|restart]" >&2
    exit 2
    ;;
esac
. "$(dirname "$0")/wine-session.sh"
. "$ROOT/scripts/pictures.sh"

work="$(mktemp -d)"
SHOW_PID=
end_screenshot() {
    touch "$work/done"
    [ -n "$SHOW_PID" ] && wait "$SHOW_PID" 2>/dev/null || true
    rm -rf "$work"
    end_wine_session
}
trap end_screenshot EXIT

# The program writes its dialog's window rectangle into "ready" once the
# dialog is painted, and ends when "done" appears.
wine "$BUILD_DIR/bin/ui_screenshot_show.exe" "$(winepath -w "$work/ready")" "$(winepath -w "$work/done")" "$mode" \
    >/dev/null 2>&1 </dev/null &
SHOW_PID=$!
for _ in $(seq 600); do
    [ -s "$work/ready" ] && break
    sleep 0.1
done
[ -s "$work/ready" ] || {
    echo "the dialog did not come up" >&2
    exit 1
}
sleep 1 # let the last paint reach the X server
import -window root "$work/screen.png"
out="$BUILD_DIR/${mode}_dialog.png"
cut_out "$work/screen.png" "$(tr -d '\r\n' <"$work/ready")" "$out"
echo "saved $out"
