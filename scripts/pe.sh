# Sourced: a Windows PE file's header fields, export and import tables, read from the shell.
# Used by the Wine runner (which architecture a program is), the DLL check and the SDK check.

# pe_u16 FILE OFFSET, pe_u32 FILE OFFSET: little-endian fields at a byte offset.
pe_u16() { od -An -tu2 -j "$2" -N2 "$1" 2>/dev/null | tr -d ' '; }
pe_u32() { od -An -tu4 -j "$2" -N4 "$1" 2>/dev/null | tr -d ' '; }

# The offset of the "PE\0\0" signature; fails for a file that is not a PE file.
pe_header() {
    local at
    [ -f "$1" ] && at=$(pe_u32 "$1" 60) && [ -n "$at" ] && [ "$at" != 0 ] &&
        [ "$(pe_u32 "$1" "$at")" = 17744 ] && echo "$at"
}

# x86_64 or i686, from the header's machine field; fails for anything else.
pe_architecture() {
    local at
    at=$(pe_header "$1") || return 1
    case $(pe_u16 "$1" $((at + 4))) in
    34404) echo x86_64 ;;
    332) echo i686 ;;
    *) return 1 ;;
    esac
}

# The tables below are read from the file, not from objdump's listing, whose layout changes
# between binutils releases (2.44 put ordinals and hints on the export name lines).

# pe_directory FILE INDEX: "RVA SIZE" of a data directory (0 exports, 1 imports), "0 0" when the
# header has none.
pe_directory() {
    local at optional count
    at=$(pe_header "$1") || return 1
    optional=$((at + 24))
    case $(pe_u16 "$1" "$optional") in
    267) optional=$((optional + 92)) ;;   # PE32: NumberOfRvaAndSizes, then the directories
    523) optional=$((optional + 108)) ;;  # PE32+
    *) return 1 ;;
    esac
    count=$(pe_u32 "$1" "$optional")
    if [ "$2" -ge "$count" ]; then echo "0 0"; return 0; fi
    od -An -tu4 -j $((optional + 4 + 8 * $2)) -N8 "$1" | awk '{ print $1, $2 }'
}

# pe_sections FILE: "VIRTUAL-ADDRESS SIZE FILE-OFFSET" of each section, one a line.
pe_sections() {
    local at count
    at=$(pe_header "$1") || return 1
    count=$(pe_u16 "$1" $((at + 6)))
    # Each header is 40 bytes: the name, then VirtualSize, VirtualAddress, SizeOfRawData and
    # PointerToRawData.
    od -An -tu4 -w40 -v -j $((at + 24 + $(pe_u16 "$1" $((at + 20))))) -N $((40 * count)) "$1" |
        awk '{ print $4, ($3 > $5 ? $3 : $5), $6 }'
}

# pe_offset SECTIONS RVA: the file offset of an address, given pe_sections' lines; fails for one
# that no section holds.
pe_offset() {
    local address size offset
    while read -r address size offset; do
        if [ "$address" -le "$2" ] && [ "$2" -lt $((address + size)) ]; then
            echo $((offset + $2 - address))
            return 0
        fi
    done <<<"$1"
    return 1
}

# pe_string FILE OFFSET: the NUL-terminated name there.
pe_string() { tail -c +$(($2 + 1)) "$1" | head -c 512 | tr '\0' '\n' | head -n 1; }

# pe_exports FILE: the names of the export directory, one a line, in its order, then "@N" for
# each function exported by ordinal N alone. Nothing for a file without exports.
pe_exports() {
    local file=$1 rva sections at base functions names i
    local -a directory addresses name_rvas name_indexes named
    read -r rva _ <<<"$(pe_directory "$file" 0)" || return 1
    [ -n "$rva" ] || return 1
    [ "$rva" = 0 ] && return 0
    sections=$(pe_sections "$file") && at=$(pe_offset "$sections" "$rva") || return 1
    # Its ten 32-bit fields: ordinal base, counts of functions and names, and the addresses of
    # the function, name and name-to-ordinal tables from the fifth on.
    read -ra directory <<<"$(od -An -tu4 -v -j "$at" -N40 "$file" | tr '\n' ' ')"
    base=${directory[4]:-} functions=${directory[5]:-} names=${directory[6]:-}
    [ -n "${directory[9]:-}" ] || return 1
    if [ "$names" -gt 0 ]; then
        read -ra name_rvas <<<"$(od -An -tu4 -v -N $((4 * names)) \
            -j "$(pe_offset "$sections" "${directory[8]}")" "$file" | tr '\n' ' ')" || return 1
        read -ra name_indexes <<<"$(od -An -tu2 -v -N $((2 * names)) \
            -j "$(pe_offset "$sections" "${directory[9]}")" "$file" | tr '\n' ' ')" || return 1
        for ((i = 0; i < names; i++)); do
            pe_string "$file" "$(pe_offset "$sections" "${name_rvas[i]}")" || return 1
            named[name_indexes[i]]=1
        done
    fi
    if [ "$functions" -gt 0 ]; then
        read -ra addresses <<<"$(od -An -tu4 -v -N $((4 * functions)) \
            -j "$(pe_offset "$sections" "${directory[7]}")" "$file" | tr '\n' ' ')" || return 1
        # A zero address is a gap in the ordinals, not an export.
        for ((i = 0; i < functions; i++)); do
            [ "${addresses[i]:-0}" != 0 ] && [ -z "${named[i]:-}" ] && echo "@$((base + i))"
        done
    fi
    return 0
}

# pe_imports FILE: the DLLs a file imports, lower case, one a line.
pe_imports() {
    local file=$1 rva sections at name
    read -r rva _ <<<"$(pe_directory "$file" 1)" || return 1
    [ -n "$rva" ] || return 1
    [ "$rva" = 0 ] && return 0
    sections=$(pe_sections "$file") && at=$(pe_offset "$sections" "$rva") || return 1
    # 20-byte descriptors, the name's address 12 bytes in; an empty one ends the table.
    while name=$(pe_u32 "$file" $((at + 12))) && [ -n "$name" ] && [ "$name" != 0 ]; do
        pe_string "$file" "$(pe_offset "$sections" "$name")" || return 1
        at=$((at + 20))
    done | tr 'A-Z' 'a-z' | sort -u
    return "${PIPESTATUS[0]}"
}

# Of those names (standard input), the ones that are not Windows' own: what would have to be
# shipped beside the program.
pe_non_system_dlls() { grep -vxE 'kernel32\.dll|user32\.dll|gdi32\.dll|comctl32\.dll|msvcrt\.dll|advapi32\.dll'; }
