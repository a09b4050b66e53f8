#!/usr/bin/env bash
# scripts/check-dll.sh's rules on exports and imports, over the small DLLs of rules_dll.cpp: each
# case names a DLL and a pattern the line the script prints about that rule must match. The
# script reads the tables from the file, so the same lines come out whatever binutils prints.
# Usage: check_rules.sh OBJDUMP ARCH DIR
set -u
objdump=$1 arch=$2 dir=$3
check=$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-dll.sh
failures=0

# DLL           architecture  the rule's line, without the DLL's name and path (a glob)
cases=(
    "rules_factory  any     ok: exports GetTinyFactory only"
    "rules_factory  any     ok: imports system DLLs only (*)"
    "rules_second   any     FAILED: exports GetTinyFactory only: exports: GetTinyFactory Second"
    "rules_mangled  any     FAILED: exports GetTinyFactory only: exports: _Z14GetTinyFactoryv"
    "rules_stdcall  i686    FAILED: exports GetTinyFactory only: exports: GetTinyFactory@0"
    "rules_stdcall  x86_64  ok: exports GetTinyFactory only"
    "rules_ordinal  any     FAILED: exports GetTinyFactory only: exports: GetTinyFactory @7"
    "rules_import   any     ok: exports GetTinyFactory only"
    "rules_import   any     FAILED: imports system DLLs only (*rules_second.dll*): also imports rules_second.dll"
)

declare -A output
for c in "${cases[@]}"; do
    read -r name only expected <<<"$c"
    [ "$only" = any ] || [ "$only" = "$arch" ] || continue
    # "NAME.dll (ARCH): STATUS: RULE[: DETAIL (PATH)]", one a line, down to "STATUS: RULE[: DETAIL]".
    [ -n "${output[$name]+set}" ] || output[$name]=$("$check" "$objdump" "$dir/$name.dll" 2>&1 |
        sed -E 's/^[^ ]+ \([^)]*\): //; /^FAILED: /s/ \([^()]*\)$//')
    found=""
    while IFS= read -r line; do
        # shellcheck disable=SC2053 # the expectation is a pattern
        [[ "$line" == $expected ]] && found=$line && break
    done <<<"${output[$name]}"
    if [ -n "$found" ]; then
        echo "ok: $name: $found"
    else
        echo "FAILED: $name: no line \"$expected\" in:"
        sed 's/^/    /' <<<"${output[$name]}"
        failures=$((failures + 1))
    fi
done
echo "dll rules ($arch): $failures failure(s)"
[ "$failures" -eq 0 ]
