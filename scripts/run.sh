#!/bin/bash
# The main job on a fresh machine: installs what is missing, builds, creates
# the Wine prefix and runs the host program, which loads Sefrabox.dll and
# reports its module flag, export table and shared block, then makes one
# scripted visit of the main dialog on the demo store and saves screenshots
# ($BUILD_DIR/visit_dialog.png, visit_drive.png, main_dialog.png).
# Usage: scripts/run.sh [host program arguments...]
#        (no arguments: info, then the dialog and its screenshot)
set -euo pipefail
. "$(dirname "$0")/wine-session.sh"

cd "$BUILD_DIR/bin"
# The host writes its texts in the prefix's code page (936), as a Windows
# program does; the terminal here reads UTF-8.
host() {
    wine sefrabox-host.exe "$@" </dev/null | iconv -f GBK -t UTF-8 -c
    return "${PIPESTATUS[0]}"
}

if [ $# -gt 0 ]; then
    status=0
    host "$@" || status=$?
    exit "$status"
fi

host info

# One visit as a user makes it, on the demo world (made in C:\SefraDemo of
# the prefix when missing): the first row, its password, the sefra's drive,
# its Explorer window taken over by the dialog and renamed after the sefra,
# that window closed (the host reports how soon the drive went with it), the
# dialog closed. The host saves the screen at the dialog and at the opened
# drive.
status=0
host show --visit --screens "$(winepath -w "$BUILD_DIR")" || status=$?
for shot in visit_dialog visit_drive; do
    if [ -e "$BUILD_DIR/$shot.bmp" ]; then
        convert "$BUILD_DIR/$shot.bmp" "$BUILD_DIR/$shot.png" && rm -f "$BUILD_DIR/$shot.bmp"
        echo "screenshot: $BUILD_DIR/$shot.png"
    fi
done
# The dialog alone, cut out of the first screenshot, for the README.
if [ -e "$BUILD_DIR/visit_dialog.png" ]; then
    convert "$BUILD_DIR/visit_dialog.png" -crop 400x545+440+240 +repage "$BUILD_DIR/main_dialog.png"
    echo "screenshot of the dialog: $BUILD_DIR/main_dialog.png"
fi
# What is left once the visit ended: no drive, no mount, the lock free.
host info | sed -n "/^shared block/,\$p"
exit "$status"
