#!/usr/bin/env bash
# Builds everything (native logic and its fuzz targets, the x86_64 and i686 modules with their
# tests) and runs every test: the Windows ones under Wine, the i686 ones through an emulator.
# Installs what is missing first. Names given run only those parts, in this order:
#   scripts/test.sh [native] [fuzz] [mingw64] [mingw32] [release]
# (release: the reproducible-build check). TOOLWINDOWS_SKIP_I686=1 builds the i686 preset but
# runs none of its Wine programs.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
all_parts=(native fuzz mingw64 mingw32 release)
parts=("$@")
[ $# -gt 0 ] || parts=("${all_parts[@]}")
for part in "${parts[@]}"; do
    if [[ " ${all_parts[*]} " != *" $part "* ]]; then
        echo "test.sh: unknown part $part (known: ${all_parts[*]})" >&2
        exit 2
    fi
done
wanted() { [[ " ${parts[*]} " == *" $1 "* ]]; }
skip_i686=${TOOLWINDOWS_SKIP_I686:-0}
wanted mingw32 && [ "$skip_i686" != 1 ] && need_i686_wine=1
prepare_build_environment

passed=0 failed=0 broken=0
declare -A arch_of=([mingw64]=x86_64 [mingw32]=i686)
failed_tests=()
run_preset() {
    local preset=$1 log ctest_filter=()
    shift
    [ $# -gt 0 ] && ctest_filter=("$@")
    mkdir -p build/logs
    log=build/logs/$preset-configure.log
    step "$preset: configuring"
    if ! cmake --preset "$preset" >"$log" 2>&1; then
        cat "$log" >&2
        echo "== $preset: configuring failed" >&2
        broken=$((broken + 1))
        return
    fi
    step "$preset: building"
    if ! cmake --build --preset "$preset"; then
        echo "== $preset: build failed" >&2
        broken=$((broken + 1))
        return
    fi
    # One test program at a time, and one Wine process at a time: they share the prefix.
    local tests=() t
    mapfile -t tests < <(ctest --preset "$preset" -N "${ctest_filter[@]}" | sed -nE 's/^ *Test +#[0-9]+: (.*)$/\1/p')
    for t in "${tests[@]}"; do
        step "$preset: test $t"
        if ctest --preset "$preset" -R "^${t}\$"; then
            passed=$((passed + 1))
        else
            failed=$((failed + 1))
            failed_tests+=("$preset/$t${arch_of[$preset]:+ (${arch_of[$preset]})}")
        fi
    done
}

# A script that is a test of its own, counted like the others: run_script_test NAME COMMAND...
run_script_test() {
    local name=$1
    shift
    step "test $name"
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        failed_tests+=("$name")
    fi
}

wanted native && run_preset native
# The fuzz targets, briefly: their corpus and a fixed number of runs each (scripts/fuzz.sh runs
# them for longer).
wanted fuzz && run_preset fuzz
wanted mingw64 && run_preset mingw64
if wanted mingw32; then
    if [ "$skip_i686" = 1 ]; then
        run_preset mingw32 -LE wine
    else
        run_preset mingw32
    fi
fi
# Two builds of HEAD with the tests off, compared byte for byte (a few minutes).
wanted release && run_script_test release/reproducible scripts/reproducible.sh

echo
wanted mingw32 && [ "$skip_i686" = 1 ] && echo "i686: skipped (TOOLWINDOWS_SKIP_I686=1): its Wine programs did not run"
[ "$broken" -gt 0 ] && echo "$broken preset(s) did not build"
[ ${#failed_tests[@]} -gt 0 ] && echo "failed: ${failed_tests[*]}"
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$broken" -eq 0 ]
