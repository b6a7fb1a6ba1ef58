#!/bin/sh
# The check that a DLL loads on Windows XP SP3 passes on the library and
# refuses a DLL that XP cannot load, naming each reason.
# Usage: xp_imports_test.sh <check> <Sefrabox.dll> <xp_refused.dll>
set -u
check="$1"
"$check" "$2" || {
    echo "the check refuses $2" >&2
    exit 1
}
out="$("$check" "$3")"
rc=$?
printf '%s\n' "$out"
[ "$rc" -eq 1 ] || {
    echo "the check ended with $rc on $3, not 1" >&2
    exit 1
}
status=0
for finding in "KERNEL32.dll GetTickCount64: not exported by name" "bcrypt.dll is not a DLL of Windows XP SP3" \
    "header asks for OS version 6.0" "header asks for subsystem version 6.0"; do
    case "$out" in
    *"$finding"*) ;;
    *)
        echo "not reported: $finding" >&2
        status=1
        ;;
    esac
done
exit "$status"
