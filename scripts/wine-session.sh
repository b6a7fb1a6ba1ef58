# Sourced by the entry scripts (run.sh, test.sh): installs what is missing,
# builds into BUILD_DIR, creates the prefix, then starts a private display
# and the prefix's Wine server; both end when the calling script exits.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"

"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"
"$ROOT/scripts/prefix.sh" "$BUILD_DIR"

. "$ROOT/scripts/wine-env.sh"
. "$ROOT/scripts/with-display.sh"

end_wine_session() {
    wineserver -k 2>/dev/null || true
    stop_display
}
trap end_wine_session EXIT
start_display
wineserver -p
# Start Wine's own background processes now, with their output going
# nowhere: a program that started them would leave them holding the
# caller's output pipe open.
wine wineboot >/dev/null 2>&1 </dev/null
set_window_management </dev/null
