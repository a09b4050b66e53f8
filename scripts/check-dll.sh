#!/usr/bin/env bash
# Checks a built module from its headers and tables, one line per rule:
#   toolwindows.dll (i686): ok: DEP (NX_COMPAT)
#   toolwindows.dll (i686): FAILED: DEP (NX_COMPAT): not set (build/mingw32/bin/toolwindows.dll)
# and fails when any rule does. The rules: exactly one export, GetTinyFactory, undecorated, and
# nothing exported by ordinal alone; imports from system DLLs only (the GCC, C++ and
# stack-protector runtimes are linked in); ASLR, high-entropy ASLR on x86_64, DEP; on i686 NO_SEH,
# and no code that stores a handler on the SEH chain; functions built with stack protection; no
# section both writable and executable; no link time in the header; the version resource of
# VERSION, when given. The export and import tables are read from the file itself (scripts/pe.sh):
# objdump's listing of them changes layout between binutils releases.
# Usage: check-dll.sh OBJDUMP DLL [VERSION]
set -u
objdump=$1 dll=$2 version=${3:-}
windres=${objdump%objdump}windres
name=$(basename "$dll")
failures=0

. "$(dirname "${BASH_SOURCE[0]}")/pe.sh"
u16() { pe_u16 "$dll" "$1"; }
u32() { pe_u32 "$dll" "$1"; }

if ! pe=$(pe_header "$dll"); then
    echo "$name: FAILED: not a PE file ($dll)"
    exit 1
fi
arch=$(pe_architecture "$dll") || arch=unknown
ok() { echo "$name ($arch): ok: $1"; }
fail() {
    echo "$name ($arch): FAILED: $1: $2 ($dll)"
    failures=$((failures + 1))
}
rule() {   # rule NAME DETAIL-WHEN-FAILED CONDITION...
    local what=$1 detail=$2
    shift 2
    if "$@"; then ok "$what"; else fail "$what" "$detail"; fi
}
words() { tr '\n' ' ' <<<"$1" | sed 's/ *$//'; }   # one a line to one line

sections=$(u16 $((pe + 6)))
timestamp=$(u32 $((pe + 8)))
optional=$((pe + 24))
section_table=$((optional + $(u16 $((pe + 20)))))
dll_characteristics=$(u16 $((optional + 70)))
flag() { (((dll_characteristics & $1) != 0)); }

if exports=$(pe_exports "$dll"); then
    rule "exports GetTinyFactory only" "exports: $(words "$exports")" [ "$exports" = GetTinyFactory ]
else
    fail "exports GetTinyFactory only" "export table unreadable"
fi
if imports=$(pe_imports "$dll"); then
    foreign=$(pe_non_system_dlls <<<"$imports")
    rule "imports system DLLs only ($(words "$imports"))" "also imports $(words "$foreign")" [ -z "$foreign" ]
else
    fail "imports system DLLs only" "import table unreadable"
fi

rule "ASLR (DYNAMIC_BASE)" "not set" flag 0x40
[ "$arch" = x86_64 ] && rule "high-entropy ASLR (HIGH_ENTROPY_VA)" "not set" flag 0x20
rule "DEP (NX_COMPAT)" "not set" flag 0x100

code=$("$objdump" -d "$dll")
if [ "$arch" = i686 ]; then
    # Windows runs no handler of an image marked NO_SEH. That is right only while nothing in it
    # registers one: a frame-based handler is linked in by storing to %fs:0, the chain's head
    # (dw2 unwinding, GCC's model for i686 here, never does).
    stores=$(grep -E '(,%fs:0x0$|pop[lw]? +%fs:0x0$)' <<<"$code" | head -n 3 | sed 's/^ *//; s/\t/ /g')
    if ! flag 0x400; then
        fail "NO_SEH" "not set, and binutils makes no table of safe handlers"
    elif [ -n "$stores" ]; then
        fail "NO_SEH" "marked, yet code stores to the SEH chain's head: $stores"
    else
        ok "NO_SEH (no code stores to the SEH chain's head %fs:0)"
    fi
fi

# The canary's failure path, called from each protected function. Read from the symbols that
# objdump names call targets with: the shipped DLL keeps its symbol table (only debug sections go).
protected=$(grep -cE 'call +[0-9a-f]+ <_{2,3}stack_chk_fail>' <<<"$code")
if [ "$protected" -gt 0 ]; then
    ok "stack protection (__stack_chk_fail called from $protected places)"
elif ! "$objdump" -t "$dll" | grep -q 'stack_chk_guard'; then
    fail "stack protection" "no __stack_chk_guard (or no symbol table to tell)"
else
    fail "stack protection" "no call of __stack_chk_fail"
fi

writable_code=""
i=0
# Each header's Characteristics, its tenth 32-bit field, read for all of them at once.
while read -r characteristics; do
    # IMAGE_SCN_MEM_EXECUTE and IMAGE_SCN_MEM_WRITE.
    if (((characteristics & 0x20000000) && (characteristics & 0x80000000))); then
        writable_code+="$(tail -c +$((section_table + 40 * i + 1)) "$dll" | head -c 8 | tr -d '\0') "
    fi
    i=$((i + 1))
done < <(od -An -tu4 -w40 -v -j "$section_table" -N $((40 * sections)) "$dll" | awk '{ print $10 }')
rule "no section both writable and executable" "$writable_code" [ -z "$writable_code" ]

rule "no link time in the header (TimeDateStamp 0)" "TimeDateStamp $timestamp" [ "$timestamp" = 0 ]

if [ -n "$version" ]; then
    IFS=. read -r major minor patch <<<"$version"
    resource=$("$windres" -i "$dll" -O rc 2>/dev/null)
    found=$(grep -E '^ *FILEVERSION |"ProductVersion"' <<<"$resource" | sed 's/^ *//' | tr '\n' ' ')
    if grep -q "^ *FILEVERSION $major, $minor, $patch, 0\$" <<<"$resource" &&
       grep -q "VALUE \"ProductVersion\", \"$version\"" <<<"$resource"; then
        ok "version resource $version"
    else
        fail "version resource $version" "found ${found:-none}"
    fi
fi

[ "$failures" -eq 0 ]
