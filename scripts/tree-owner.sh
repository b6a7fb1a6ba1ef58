# shellcheck shell=bash
# Sourced by wine-session.sh: one entry script at a time owns a build tree
# and its Wine prefix. $BUILD_DIR/wine-session.owner names the owner (its
# process id and start time) and the private display it started; a script
# that finds the owner alive waits for it. A script killed before it could
# clean up (kill -9, a lost terminal) leaves its persistent Wine server
# behind, which never exits by itself and would hang every later
# `wineserver -w`, and its Xvfb: the next owner ends both.
# Expects BUILD_DIR and the prefix's environment (wine-env.sh).
TREE_OWNER_FILE="$BUILD_DIR/wine-session.owner"

# The start time of process $1 in clock ticks since boot (field 22 of its
# stat), empty when there is no such process; with the id it names one
# process, whatever ids are reused later.
process_start() {
    local stat
    stat="$(cat "/proc/$1/stat" 2>/dev/null)" || return 0
    stat="${stat##*) }" # past the command name, which may hold blanks
    # shellcheck disable=SC2086 # the fields, split
    set -- $stat
    echo "${20}"
}

# Whether "$1 $2" (an id and a start time) is a process still running.
still_running() { [ -n "$1" ] && [ "$(process_start "$1")" = "$2" ]; }

claim_build_tree() {
    local pid start display display_start lock said=
    mkdir -p "$BUILD_DIR"
    exec {lock}>"$BUILD_DIR/wine-session.lock" # held only to read and write the owner file
    while :; do
        flock "$lock"
        pid='' start='' display='' display_start=''
        if [ -f "$TREE_OWNER_FILE" ]; then
            { read -r pid start && read -r display display_start; } <"$TREE_OWNER_FILE" || true
        fi
        if ! still_running "$pid" "$start" || [ "$pid" = $$ ]; then
            echo "$$ $(process_start $$)" >"$TREE_OWNER_FILE"
            break
        fi
        flock -u "$lock"
        if [ -z "$said" ]; then
            echo "waiting: process $pid ($(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)) uses $BUILD_DIR" >&2
            said=1
        fi
        sleep 1
    done
    exec {lock}>&-
    # No live script owns the prefix now: what it still has is left over.
    if still_running "$display" "$display_start"; then
        kill "$display" 2>/dev/null || true
    fi
    wineserver -k 2>/dev/null || true
    wineserver -w
}

# Notes the private display ($1, a process id) in the owner file.
note_display() {
    [ -z "$1" ] || echo "$1 $(process_start "$1")" >>"$TREE_OWNER_FILE"
}

release_build_tree() {
    local pid start
    [ -f "$TREE_OWNER_FILE" ] && read -r pid start <"$TREE_OWNER_FILE" && [ "$pid" = $$ ] &&
        rm -f "$TREE_OWNER_FILE"
    return 0
}
