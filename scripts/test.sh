#!/bin/bash
# Builds everything and runs every test under Wine, on a private Xvfb.
# Usage: scripts/test.sh [ctest arguments...]
# Without arguments the fuzz targets also run, each for a few seconds.
set -euo pipefail
. "$(dirname "$0")/wine-session.sh"
# The library must load on Windows XP SP3: its import table and header, read
# from the built DLL.
"$ROOT/scripts/xp-imports.sh" "$BUILD_DIR/bin/Sefrabox.dll"

if [ $# -eq 0 ]; then
    "$ROOT/scripts/fuzz.sh" "${FUZZ_SECONDS:-10}"
fi

cd "$BUILD_DIR"
ctest --output-on-failure --timeout 300 "$@"
