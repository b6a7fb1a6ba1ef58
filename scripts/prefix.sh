#!/bin/bash
# Creates (once) the 32-bit Wine prefix inside the build tree and maps the
# dialog fonts to a CJK font so Chinese texts render; registers the
# shell-window provider on every run.
set -euo pipefail
BUILD_DIR="$(cd "${1:?build dir}" && pwd)"
. "$(dirname "$0")/wine-env.sh"

if [ ! -f "$WINEPREFIX/.sefrabox-ready" ]; then
    echo "prefix: creating $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    DISPLAY= wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # regedit wants UTF-16 with a byte-order mark for the Chinese font name.
    sed 's/$/\r/' <<'REG' | iconv -f UTF-8 -t UTF-16 > "$BUILD_DIR/fonts.reg"
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS Shell Dlg"="WenQuanYi Zen Hei"
"MS Shell Dlg 2"="WenQuanYi Zen Hei"
"SimSun"="WenQuanYi Zen Hei"
"宋体"="WenQuanYi Zen Hei"
"Tahoma"="WenQuanYi Zen Hei"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
    wine regedit /S "$(winepath -w "$BUILD_DIR/fonts.reg")" >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.sefrabox-ready"
fi

# On every run, also in prefixes made before these existed:
# - the shell-window provider answers for the file manager's windows, which
#   Wine's shell does not list (its own entry is kept and put back on
#   unregistration);
# - Wine draws the caption buttons of the windows it manages itself (on a
#   private Xvfb, see with-display.sh) with the Marlett font.
DISPLAY= wine regsvr32 /s "$(winepath -w "$BUILD_DIR/bin/ShellWindowsStandin.dll")"
if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp -n /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi
wineserver -w
