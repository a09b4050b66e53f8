#!/usr/bin/env bash
# Builds everything (native logic and its fuzz targets, the x86_64 module with its tests, the
# i686 module) and runs every test. Installs what is missing first.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
prepare_build_environment

passed=0 failed=0 broken=0
run_preset() {
    local preset=$1 log
    log=$(mktemp)
    if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; }; then
        echo "== $preset: build failed" >&2
        broken=$((broken + 1))
        return
    fi
    # One Wine process at a time: they share the prefix and its server.
    ctest --preset "$preset" -j1 2>&1 | tee "$log"
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        broken=$((broken + 1))
    else
        local f t
        f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
        t=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
        passed=$((passed + t - f))
        failed=$((failed + f))
    fi
    rm -f "$log"
}

run_preset native
# The fuzz targets, briefly: their corpus and a fixed number of runs each (scripts/fuzz.sh runs
# them for longer).
run_preset fuzz
run_preset mingw64
run_preset mingw32

[ "$broken" -gt 0 ] && echo "$broken build(s) or test run(s) did not complete"
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$broken" -eq 0 ]
