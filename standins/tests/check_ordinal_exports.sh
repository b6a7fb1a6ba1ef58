#!/bin/sh
# Checks that a stand-in DLL exports by ordinal only and exactly the
# ordinals of its .def file. Usage: check_ordinal_exports.sh <objdump> <dll> <def>
set -eu
objdump="$1"; dll="$2"; def="$3"
table="$("$objdump" -p "$dll")"
if ! printf '%s\n' "$table" | grep -Eq '\[Name Pointer/Ordinal\] Table[[:space:]]+00000000$'; then
    echo "$dll: exports names" >&2
    exit 1
fi
exported="$(printf '%s\n' "$table" | sed -n 's/.*+base\[ *\([0-9]*\)\].*/\1/p' | sort -n | tr '\n' ' ')"
declared="$(sed -n 's/.*@\([0-9]*\).*/\1/p' "$def" | sort -n | tr '\n' ' ')"
if [ "$exported" != "$declared" ]; then
    echo "$dll: ordinals [$exported] differ from $def [$declared]" >&2
    exit 1
fi
echo "$dll: ordinals $exported, no names"
