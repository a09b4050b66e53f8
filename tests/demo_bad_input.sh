#!/usr/bin/env bash
# The demo host refuses what it cannot use with a clear message and exit status 2, and writes
# nothing. Usage: demo_bad_input.sh DEMO_HOST_EXE WORK_FOLDER
set -u
demo=$1
work=$2
here=$(cd "$(dirname "$0")/.." && pwd)
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0

# expect_refusal NAME PATTERN ARGS...: exit status 2 and PATTERN in what it printed.
expect_refusal() {
    local name=$1 pattern=$2
    shift 2
    local output status
    output=$("$here/scripts/wine-run.sh" "$demo" "$@" 2>&1)
    status=$?
    if [ "$status" -ne 2 ] || ! grep -qF -- "$pattern" <<<"$output"; then
        echo "FAILED: $name: status $status, output:"
        sed 's/^/    /' <<<"$output"
        failures=$((failures + 1))
    else
        echo "ok: $name"
    fi
}

printf '{\n  "Portes": {\n    "max_sprites": 12.0,\n  }\n}\n' > invalid.json
printf '{"Portes": {"tau_reac": [1, 2, "x", 4]}}' > shape.json
printf '{"Clients": {"Client": [{"a": 1}, 3]}}' > mixed.json
cp invalid.json untouched.json

expect_refusal "missing file" "missing.json: cannot be read" --config missing.json
expect_refusal "invalid JSON" "line 4, column 3" --config invalid.json
expect_refusal "vector with a string" "\"Portes.tau_reac\": expected four numbers" --config shape.json
expect_refusal "mixed list" "\"Clients.Client[1]\": expected an object or null" --config mixed.json
expect_refusal "missing module" "cannot load nowhere.dll" --dll nowhere.dll --frames 1
expect_refusal "unknown option" "usage: demo_host" --fast
expect_refusal "bad frame count" "--frames takes a whole number" --frames 0

# A file that did not load is never written over, nor anything beside it.
cmp -s invalid.json untouched.json || { echo "FAILED: invalid.json was changed"; failures=$((failures + 1)); }
ls invalid.json.* 2>/dev/null && { echo "FAILED: files written beside invalid.json"; failures=$((failures + 1)); }

echo "demo bad input: $((7 - failures)) of 7 refusals as expected"
[ "$failures" -eq 0 ]
