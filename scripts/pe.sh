# Sourced: a Windows PE file's header fields and import table, read from the shell. Used by the
# Wine runner (which architecture a program is), the DLL check and the SDK check.

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

# The DLLs a file imports, lower case, one a line, from what `objdump -p` printed of it.
pe_imports() { sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u; }

# Of those names (standard input), the ones that are not Windows' own: what would have to be
# shipped beside the program.
pe_non_system_dlls() { grep -vxE 'kernel32\.dll|user32\.dll|gdi32\.dll|comctl32\.dll|msvcrt\.dll|advapi32\.dll'; }
