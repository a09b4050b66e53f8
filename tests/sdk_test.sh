#!/usr/bin/env bash
# The package as an integrator gets it: installs a built tree into a fresh prefix, checks the
# installed DLL (scripts/check-dll.sh's rules with this build's version, no debug sections) and
# that nothing installed names this machine's folders, then builds the installed example host
# against the prefix alone, configured as the guide says (the package's toolchain file, nothing
# else), and checks that it imports nothing of MinGW's runtime; then runs it under Wine, from a
# folder that holds nothing but it and the module.
# Usage: sdk_test.sh ARCH BUILD_DIR VERSION
set -u
arch=$1 build=$(cd "$2" && pwd) version=$3
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/pe.sh"
work=$build/sdk-test
prefix=$work/prefix
rm -rf "$work" && mkdir -p "$work" || exit 1
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }

dll=$prefix/bin/toolwindows.dll
"$here/scripts/check-dll.sh" x86_64-w64-mingw32-objdump "$dll" "$version" && ok "the DLL's rules (above)" ||
    fail "the DLL's rules (above)"
sections=$(x86_64-w64-mingw32-objdump -h "$dll")
grep -q '\.debug_' <<<"$sections" && fail "the DLL has debug sections" || ok "no debug sections"
grep -q '\.gnu_debuglink' <<<"$sections" && [ -s "$prefix/bin/toolwindows.dll.debug" ] \
    && ok "debug information in toolwindows.dll.debug" || fail "no debug link to toolwindows.dll.debug"
grep -q "#define TOOLWINDOWS_VERSION_STRING \"$version\"" "$prefix/include/toolwindows/Version.h" \
    && ok "Version.h says $version" || fail "Version.h does not say $version"
# A folder of this machine as a whole path, not as the end of another (a tree at /src must not
# match the runtime's own "winpthreads/src/rwlock.c").
as_path() { printf '(^|[^[:alnum:]._/-])%s(/|$)' "$(sed 's/[][\.*^$+?(){}|]/\\&/g' <<<"$1")"; }
leaks=$(grep -rlaE -e "$(as_path "$here")" -e "$(as_path "$build")" "$prefix")
[ -z "$leaks" ] && ok "no path of the build machine installed" || fail "build paths in: $leaks"

# CMake's own refusal of a version the package does not satisfy, at configure time.
mkdir -p "$work/too-new"
printf 'cmake_minimum_required(VERSION 3.25)\nproject(p LANGUAGES CXX)\nfind_package(ToolWindows 2.0 CONFIG REQUIRED)\n' \
    >"$work/too-new/CMakeLists.txt"
# The guide's configure line: the package's own toolchain file makes the package findable.
toolchain=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/share/toolwindows/toolchain-$arch.cmake")
output=$(cmake -S "$work/too-new" -B "$work/too-new/build" "${toolchain[@]}" 2>&1)
if [ $? -ne 0 ] && grep -q 'version: 1.0.0' <<<"$output"; then
    ok "find_package(ToolWindows 2.0) refused"
else
    fail "find_package(ToolWindows 2.0) was not refused: $output"
fi

# The example host as installed, from the prefix alone, with the warnings a strict host turns on.
example=$work/example
if cmake -S "$prefix/share/toolwindows/example-host" -B "$example" "${toolchain[@]}" \
         -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror" >"$work/example.log" 2>&1 &&
   cmake --build "$example" >>"$work/example.log" 2>&1; then
    ok "example host built for $arch"
else
    cat "$work/example.log"
    fail "example host did not build for $arch"
fi

# Its own C++ runtime linked in as the guide says: no DLL of MinGW's runtime to ship beside it.
if [ -f "$example/example_host.exe" ]; then
    if imports=$(pe_imports "$example/example_host.exe"); then
        foreign=$(pe_non_system_dlls <<<"$imports")
        [ -z "$foreign" ] && ok "example host imports only system DLLs: $(tr '\n' ' ' <<<"$imports")" \
            || fail "example host imports $(tr '\n' ' ' <<<"$foreign")"
    else
        fail "example host: import table unreadable"
    fi
fi

if [ -f "$example/example_host.exe" ]; then
    alone=$work/alone
    mkdir -p "$alone" && cp "$example/example_host.exe" "$prefix/bin/toolwindows.dll" "$alone/"
    output=$("$here/scripts/wine-run.sh" "$alone/example_host.exe" --frames 45 --close-windows \
             --config "$prefix/share/toolwindows/installation.json" 2>&1)
    status=$?
    if [ "$status" -eq 0 ] && grep -q 'example host: 6 of 6 windows made, all released' <<<"$output" &&
       [ "$(grep -c ': made, placed at' <<<"$output")" -eq 6 ] &&
       grep -q 'SetupParams: close box' <<<"$output" && grep -q 'close boxes pressed: 0 window' <<<"$output"; then
        ok "example host ran every window under Wine"
    else
        fail "example host run: status $status"
        sed 's/^/    /' <<<"$output"
    fi
    output=$("$here/scripts/wine-run.sh" "$alone/example_host.exe" --dll nowhere.dll 2>&1)
    status=$?
    [ "$status" -ne 0 ] && grep -q 'cannot load nowhere.dll' <<<"$output" \
        && ok "example host refuses a missing DLL" || fail "missing DLL: status $status, $output"
fi

echo "sdk ($arch): $failures failure(s)"
[ "$failures" -eq 0 ]
