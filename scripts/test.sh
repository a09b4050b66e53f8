#!/usr/bin/env bash
# Builds everything (native logic and its fuzz targets, the x86_64 module with its tests, the
# i686 module) and runs every test. Installs what is missing first.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
prepare_build_environment

passed=0 failed=0 broken=0
failed_tests=()
run_preset() {
    local preset=$1 log
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
    mapfile -t tests < <(ctest --preset "$preset" -N | sed -nE 's/^ *Test +#[0-9]+: (.*)$/\1/p')
    for t in "${tests[@]}"; do
        step "$preset: test $t"
        if ctest --preset "$preset" -R "^${t}\$"; then
            passed=$((passed + 1))
        else
            failed=$((failed + 1))
            failed_tests+=("$preset/$t")
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

run_preset native
# The fuzz targets, briefly: their corpus and a fixed number of runs each (scripts/fuzz.sh runs
# them for longer).
run_preset fuzz
run_preset mingw64
run_preset mingw32
# Two builds of HEAD with the tests off, compared byte for byte (a few minutes).
run_script_test release/reproducible scripts/reproducible.sh

echo
[ "$broken" -gt 0 ] && echo "$broken preset(s) did not build"
[ ${#failed_tests[@]} -gt 0 ] && echo "failed: ${failed_tests[*]}"
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$broken" -eq 0 ]
