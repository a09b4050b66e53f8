#!/usr/bin/env bash
# Checks a built module: exactly one export, GetTinyFactory, undecorated; and imports from
# system DLLs only (the GCC and C++ runtimes are linked in).
set -u
objdump=$1 dll=$2
table=$("$objdump" -p "$dll") || exit 1
name=$(basename "$dll")
status=0
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$table" | sed -n 's/^\s*\[ *[0-9]*\] //p')
if [ "$exports" != "GetTinyFactory" ]; then
    printf '%s: unexpected export table:\n%s\n' "$name" "$exports" >&2
    status=1
fi
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$table" | tr 'A-Z' 'a-z' | sort -u)
foreign=$(grep -vxE 'kernel32\.dll|user32\.dll|gdi32\.dll|comctl32\.dll|msvcrt\.dll|advapi32\.dll' <<<"$imports")
if [ -n "$foreign" ]; then
    printf '%s: imports beyond the system DLLs:\n%s\n' "$name" "$foreign" >&2
    status=1
fi
[ "$status" -eq 0 ] && echo "$name: exports GetTinyFactory only; imports $(tr '\n' ' ' <<<"$imports")"
exit "$status"
