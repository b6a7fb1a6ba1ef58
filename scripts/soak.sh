#!/bin/bash
# Makes N whole visits in a row (default 20) through the host program, as
# scripts/run.sh makes one, while busy loops keep the machine's cores busy,
# and prints how many visits passed each step. SOAK_BUSY (default 2) is the
# number of busy loops; they start before the first visit and end with the
# script.
# Usage: scripts/soak.sh [N]
set -euo pipefail
visits="${1:-20}"
busy="${SOAK_BUSY:-2}"
[[ "$visits" =~ ^[1-9][0-9]*$ && "$busy" =~ ^[0-9]+$ ]] || {
    echo "usage: scripts/soak.sh [N]   (N visits, default 20; SOAK_BUSY busy loops, default 2)" >&2
    exit 2
}
. "$(dirname "$0")/wine-session.sh"

loops=()
stop_load() {
    local pid
    for pid in "${loops[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    loops=()
}
trap 'stop_load; end_wine_session' EXIT
for ((i = 0; i < busy; i++)); do
    (while :; do :; done) &
    loops+=("$!")
done

steps=(shown drive adopted renamed removed within1s controls clean)
declare -A label=(
    [shown]="dialog shown"
    [drive]="sefra opened as a drive"
    [adopted]="window adopted, controls locked"
    [renamed]="window renamed \"<name> (X:)\""
    [removed]="drive removed after the close"
    [within1s]="... within 1 s of WM_CLOSE"
    [controls]="controls back after the close"
    [clean]="nothing left after the dialog"
)
declare -A passed
for step in "${steps[@]}"; do passed[$step]=0; done
whole=0

cd "$BUILD_DIR/bin"
echo "soak: $visits visits, $busy busy loops; load average $(cut -d' ' -f1-3 /proc/loadavg)"
# Through files, not a pipe: the file manager the visit starts would
# inherit the pipe and keep it open.
raw="$(mktemp)" log="$(mktemp)"
for ((v = 1; v <= visits; v++)); do
    wine sefrabox-host.exe show --visit </dev/null >"$raw" 2>/dev/null || true
    iconv -f GBK -t UTF-8 -c <"$raw" | tr -d '\r' >"$log"
    ms="$(sed -n 's/.*removed when its window closed (\([0-9]*\) ms after WM_CLOSE).*/\1/p' "$log")"
    declare -A ok=(
        [shown]="$(grep -c '^visit: dialog shown' "$log" || true)"
        [drive]="$(grep -c '^visit: the sefra opened as drive' "$log" || true)"
        [adopted]="$(grep -c 'took its Explorer window over and locked its controls' "$log" || true)"
        [renamed]="$(grep -A1 'took its Explorer window over' "$log" | grep 'titled "' | grep -vc 'not renamed' || true)"
        [removed]="$([ -n "$ms" ] && echo 1 || echo 0)"
        [within1s]="$([ -n "$ms" ] && [ "$ms" -le 1000 ] && echo 1 || echo 0)"
        [controls]="$(grep -c "the dialog's controls came back" "$log" || true)"
        [clean]="$(grep -c '^visit: after the dialog: no drive, no store mount, lock free' "$log" || true)"
    )
    failed=""
    for step in "${steps[@]}"; do
        if [ "${ok[$step]:-0}" -ge 1 ]; then
            passed[$step]=$((passed[$step] + 1))
        else
            failed+=" $step"
        fi
    done
    if [ -z "$failed" ]; then
        whole=$((whole + 1))
        echo "visit $v: passed (drive removed ${ms} ms after WM_CLOSE)"
    else
        echo "visit $v: failed:$failed"
        sed 's/^/    /' "$log"
    fi
done
rm -f "$raw" "$log"
echo "soak: load average at the end $(cut -d' ' -f1-3 /proc/loadavg)"
for step in "${steps[@]}"; do
    printf '%-36s %d/%d\n' "${label[$step]}" "${passed[$step]}" "$visits"
done
printf '%-36s %d/%d\n' "whole visits" "$whole" "$visits"
[ "$whole" -eq "$visits" ]
