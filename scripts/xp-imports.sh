#!/bin/bash
# Checks, without running it, that a DLL can be loaded on Windows XP SP3
# (NT 5.1), the oldest system the library supports: the loader there refuses
# a DLL whose import table names a function the system does not export by
# name. Fails (exit 1, one line per finding) when
# - a by-name import of a system DLL is not in that DLL's XP SP3 export names
#   (scripts/xp-exports/<dll>.names; a system DLL without a list is unverified),
# - a by-ordinal import of a system DLL is not a known ordinal-only export
#   (scripts/xp-exports/<dll>.ordinals),
# - it imports a DLL that XP SP3 lacks (scripts/xp-exports/dlls.txt) and that
#   is not one of the suite's own libraries, which are imported by ordinal,
# - it has delay-load imports, which this check does not read,
# - its header asks for an operating system or subsystem newer than 5.1.
# Usage: scripts/xp-imports.sh DLL   (OBJDUMP names the objdump to use)
set -euo pipefail
DATA="$(cd "$(dirname "$0")" && pwd)/xp-exports"
OBJDUMP="${OBJDUMP:-i686-w64-mingw32-objdump}"
[ $# -eq 1 ] || {
    echo "usage: $0 DLL" >&2
    exit 2
}
dll="$1"

# objdump translates some of its words: read it in the C locale.
dump="$(LC_ALL=C LANGUAGE=C "$OBJDUMP" -p "$dll")" || {
    echo "$OBJDUMP cannot read $dll" >&2
    exit 2
}
LC_ALL=C awk -v data="$DATA" -v dll="$(basename "$dll")" '
function fail(text) { print dll ": " text; failures++ }
# Reads data/<lib>.names and data/<lib>.ordinals once; has[lib] is 1 when the
# names list exists.
function load(lib,    base, line, f) {
    if (lib in has) return
    base = data "/" substr(lib, 1, length(lib) - 4)
    has[lib] = 0
    while ((getline line < (base ".names")) > 0) { exported[lib, line] = 1; has[lib] = 1 }
    close(base ".names")
    while ((getline line < (base ".ordinals")) > 0)
        if (split(line, f, " ") == 2) ordinal_only[lib, f[1]] = 1
    close(base ".ordinals")
}
BEGIN {
    suite["palmet.dll"] = suite["kestor.dll"] = suite["dravel.dll"] = suite["rundle.dll"] = 1
    while ((getline line < (data "/dlls.txt")) > 0)
        if (line !~ /^#/ && line != "") system_dll[line] = 1
    close(data "/dlls.txt")
}
/^Major(OSystem|Subsystem)Version\t/ { major[$1 ~ /OSystem/ ? "OS" : "subsystem"] = $2 }
/^Minor(OSystem|Subsystem)Version\t/ { minor[$1 ~ /OSystem/ ? "OS" : "subsystem"] = $2 }
/Delay Import Directory$/ && ($3 != "00000000" || $4 != "00000000") { fail("delay-load imports, not checked") }
/^The Import Tables/ { imports = 1; next }
imports && /^[^ \t]/ { imports = 0 }
imports && /^\tDLL Name: / {
    name = $3
    lib = tolower(name)
    if (!(lib in seen)) { seen[lib] = 1; dlls++ }
    if (lib in suite) kind = "suite"
    else if (lib in system_dll) { kind = "system"; load(lib) }
    else { kind = "other"; fail(name " is not a DLL of Windows XP SP3") }
    next
}
# "\t8000019a\t  410  <none>" by ordinal, "\t78a8e\t  117  _TrackMouseEvent" by name.
imports && /^\t[0-9a-f]+\t/ {
    if (length($1) == 8 && $1 ~ /^8/ && $NF == "<none>") {
        ordinals++
        if (kind == "system" && !((lib, $2) in ordinal_only))
            fail(name " ordinal " $2 ": not an ordinal-only export known on Windows XP SP3")
    } else {
        names++
        if (kind == "suite") fail(name " " $NF ": the suite'"'"'s libraries export by ordinal only")
        else if (kind == "system" && !has[lib]) fail(name " " $NF ": unverified, no export list of " lib)
        else if (kind == "system" && !((lib, $NF) in exported)) fail(name " " $NF ": not exported by name on Windows XP SP3")
    }
}
END {
    for (k in major)
        if (major[k] + 0 > 5 || (major[k] + 0 == 5 && minor[k] + 0 > 1))
            fail("header asks for " k " version " major[k] "." minor[k] ", newer than 5.1")
    if (!dlls) fail("no import table found")
    if (failures) { print dll ": " failures " finding(s): it does not load on Windows XP SP3"; exit 1 }
    printf "%s: loads on Windows XP SP3: %d DLLs, %d imports by name and %d by ordinal, all there; " \
        "header asks for OS %s.%s, subsystem %s.%s\n", dll, dlls, names, ordinals,
        major["OS"], minor["OS"], major["subsystem"], minor["subsystem"]
}' <<<"$dump"
