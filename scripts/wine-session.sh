# Sourced by the entry scripts (run.sh, test.sh, bench.sh, ui-screenshot.sh):
# installs what is missing, takes the build tree over (see tree-owner.sh),
# builds into BUILD_DIR, creates the prefix, then starts a private display
# and the prefix's Wine server; end_wine_session, called when the calling
# script exits, ends both and hands the tree back.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
mkdir -p "${BUILD_DIR:=$ROOT/build}"
# Absolute: the prefix's path must not depend on the folder a script is in.
BUILD_DIR="$(cd "$BUILD_DIR" && pwd)"
export BUILD_DIR

"$ROOT/scripts/setup.sh"
. "$ROOT/scripts/wine-env.sh"
. "$ROOT/scripts/tree-owner.sh"
. "$ROOT/scripts/with-display.sh"

end_wine_session() {
    wineserver -k 2>/dev/null || true
    wineserver -w
    stop_display
    release_build_tree
}
claim_build_tree
trap end_wine_session EXIT
"$ROOT/scripts/build.sh"
"$ROOT/scripts/prefix.sh" "$BUILD_DIR"

start_display
note_display "$XVFB_PID"
wineserver -p
# Start Wine's own background processes now, with their output going
# nowhere: a program that started them would leave them holding the
# caller's output pipe open.
wine wineboot >/dev/null 2>&1 </dev/null
set_window_management </dev/null
