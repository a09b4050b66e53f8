#!/usr/bin/env bash
# Checks that a DLL exports exactly one name, GetTinyFactory, undecorated.
set -u
objdump=$1 dll=$2
names=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p')
if [ "$names" = "GetTinyFactory" ]; then
    echo "$(basename "$dll"): exports GetTinyFactory only"
    exit 0
fi
echo "$(basename "$dll"): unexpected export table:" >&2
echo "$names" >&2
exit 1
