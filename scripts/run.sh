#!/bin/bash
# The main job on a fresh machine: installs what is missing, builds, creates
# the Wine prefix and runs the host program, which loads Sefrabox.dll and
# reports its module flag, export table and shared block, then shows the
# main dialog and saves a screenshot of it as $BUILD_DIR/main_dialog.png.
# Usage: scripts/run.sh [host program arguments...]
#        (no arguments: info, then the dialog and its screenshot)
set -euo pipefail
. "$(dirname "$0")/wine-session.sh"

cd "$BUILD_DIR/bin"
if [ $# -gt 0 ]; then
    status=0
    wine sefrabox-host.exe "$@" </dev/null || status=$?
    exit "$status"
fi

wine sefrabox-host.exe info </dev/null

# The dialog as the user sees it: the host shows it, says when it is up,
# and ends it with the hot key after the screenshot.
ready="$BUILD_DIR/dialog.ready"
rm -f "$ready"
wine sefrabox-host.exe show-noinit --ready "$(winepath -w "$ready")" --close-after 3000 </dev/null &
host_pid=$!
for _ in $(seq 600); do
    [ -e "$ready" ] && break
    sleep 0.1
done
if [ -e "$ready" ]; then
    import -window root -crop 640x640+320+192 "$BUILD_DIR/main_dialog.png"
    echo "screenshot of the dialog: $BUILD_DIR/main_dialog.png"
else
    echo "the dialog did not come up" >&2
fi
status=0
wait "$host_pid" || status=$?
rm -f "$ready"
exit "$status"
