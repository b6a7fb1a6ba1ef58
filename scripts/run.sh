#!/bin/bash
# The main job on a fresh machine: installs what is missing, builds, creates
# the Wine prefix and runs the host program, which loads Sefrabox.dll and
# reports its module flag, export table and shared block, then makes one
# scripted visit of the main dialog on the demo store and saves screenshots
# ($BUILD_DIR/visit_dialog.png, visit_drive.png) and the README's pictures
# cut out of them ($BUILD_DIR/docs/main_dialog.png, visit_drive.png).
# Usage: scripts/run.sh [host program arguments...]
#        (no arguments: info, then the dialog and its screenshot)
set -euo pipefail
. "$(dirname "$0")/wine-session.sh"
. "$ROOT/scripts/pictures.sh"

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
log="$BUILD_DIR/visit.log"
host show --visit --screens "$(winepath -w "$BUILD_DIR")" >"$log" || status=$?
cat "$log"
# The README's pictures, cut out of the screenshots around the windows each
# was taken for (the host names their rectangle): copy them to docs/ to
# update the README.
mkdir -p "$BUILD_DIR/docs"
for shot in visit_dialog:main_dialog visit_drive:visit_drive; do
    screen="${shot%%:*}" picture="$BUILD_DIR/docs/${shot##*:}.png"
    [ -e "$BUILD_DIR/$screen.bmp" ] || continue
    convert "$BUILD_DIR/$screen.bmp" "$BUILD_DIR/$screen.png" && rm -f "$BUILD_DIR/$screen.bmp"
    echo "screenshot: $BUILD_DIR/$screen.png"
    windows="$(sed -n "s/^visit: screenshot .*\\\\$screen\.bmp, windows at \([-0-9x+]*\).*/\1/p" "$log")"
    if [ -n "$windows" ] && cut_out "$BUILD_DIR/$screen.png" "$windows" "$picture"; then
        echo "picture for the README: $picture"
    fi
done
# What is left once the visit ended: no drive, no mount, the lock free.
host info | sed -n "/^shared block/,\$p"
exit "$status"
