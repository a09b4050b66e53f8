#!/usr/bin/env bash
# Builds the commit checked out (HEAD, not uncommitted changes; in a copy of the sources without
# .git, the files as they are) twice and compares what a release
# ships, byte for byte: for x86_64 and i686 the DLL as built and as installed, toolwindows.dll.debug,
# libtoolwindows-brin.a and libtoolwindows-hostkit.a, then both archives and SHA256SUMS. The two
# builds start from exports of HEAD in folders of different path lengths, one after the other;
# the second also with its sources dated now, another time zone and another umask. Each is
# scripts/package.sh with the tests off. For a file that differs it prints where (cmp's byte and
# the header field, PE section, archive member or zip entry there).
# Usage: scripts/reproducible.sh [WORK_DIR]    (build/reproducible by default; emptied first)
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/pe.sh
. scripts/deps.sh
start=$SECONDS
work=${1:-build/reproducible}
SOURCE_DATE_EPOCH=$(source_date_epoch) && [ -n "$SOURCE_DATE_EPOCH" ] || exit 1
export SOURCE_DATE_EPOCH
if is_git_checkout; then
    what="commit $(git rev-parse --short HEAD)"
    export_tree() { git archive HEAD | tar -x -C "$1"; }
else
    what="the files of $PWD (no .git)"
    export_tree() { tar -c --exclude=./build . | tar -x -C "$1"; }
fi
rm -rf "$work" && mkdir -p "$work" && work=$(cd "$work" && pwd) || exit 1
first=$work/1
second=$work/second-build-in-a-folder-with-a-longer-name/src

# build_tree DIR: HEAD exported into DIR, configured with the tests off and packaged.
build_tree() {
    local dir=$1 preset
    mkdir -p "$dir" && export_tree "$dir" || return 1
    [ "$dir" = "$second" ] && find "$dir" -exec touch {} +
    (
        cd "$dir" || exit 1
        for preset in mingw64 mingw32; do
            cmake --preset "$preset" -DTOOLWINDOWS_TESTS=OFF || exit 1
        done
        scripts/package.sh
    ) >"$dir.log" 2>&1 || { tail -n 30 "$dir.log"; echo "the build in $dir failed: $dir.log"; return 1; }
}

echo "building $what in $first, dated $SOURCE_DATE_EPOCH"
build_tree "$first" || exit 1
echo "building it again in $second ($((SECONDS - start)) s so far)"
(umask 002 && TZ=Asia/Kathmandu build_tree "$second") || exit 1

# Where in FILE the byte at OFFSET (from 1) lies: a PE section, an archive member or a zip entry.
where() {
    local file=$1 at=$(($2 - 1)) other=$3 idx name size vma lma off rest pe last=""
    case $file in
        *.dll | *.debug)
            while read -r idx name size vma lma off rest; do
                [[ $idx =~ ^[0-9]+$ ]] || continue
                # Sections without data in the file (.bss) say offset 0.
                if ((16#$off > 0 && at >= 16#$off && at < 16#$off + 16#$size)); then
                    echo "section $name"
                    return
                fi
            done < <(x86_64-w64-mingw32-objdump -h "$file")
            pe=$(pe_header "$file")
            if ((at >= pe + 8 && at < pe + 12)); then echo "the header's TimeDateStamp"
            elif ((at >= pe + 88 && at < pe + 92)); then echo "the header's CheckSum"
            else echo "the headers, or no section"; fi ;;
        *.a)
            while read -r name off; do
                ((off > at)) && break
                last=$name
            done < <(x86_64-w64-mingw32-ar tO "$file")
            echo "member ${last:-(the symbol index)}" ;;
        *.zip)
            diff <(unzip -lv "$file" | tail -n +2) <(unzip -lv "$other" | tail -n +2) | sed -n 's/^< *//p' | head -n 1 |
                sed 's/^/first differing entry: /' ;;
    esac
}

same=0 differ=0
compare() {
    local path=$1 a=$first/$1 b=$second/$1 at hint
    if [ ! -f "$a" ] || [ ! -f "$b" ]; then
        echo "FAILED: $path: not built by both"
        differ=$((differ + 1))
    elif cmp -s "$a" "$b"; then
        echo "same: $path"
        same=$((same + 1))
    else
        at=$(cmp "$a" "$b" | sed -n 's/.* differ: \(byte\|char\) \([0-9]*\),.*/\2/p')
        hint=$(where "$a" "$at" "$b")
        echo "FAILED: $path differs from byte $at on${hint:+ ($hint)}"
        differ=$((differ + 1))
    fi
}

for preset in mingw64 mingw32; do
    for file in bin/toolwindows.dll stripped/toolwindows.dll stripped/toolwindows.dll.debug \
                libtoolwindows-brin.a libtoolwindows-hostkit.a; do
        compare "build/$preset/$file"
    done
done
for file in "$first"/build/packages/*; do
    compare "build/packages/$(basename "$file")"
done
sed 's/^/  /' "$first/build/packages/SHA256SUMS"
echo "reproducible: $same identical, $differ differing ($((SECONDS - start)) s)"
[ "$differ" -eq 0 ] && [ "$same" -gt 0 ]
