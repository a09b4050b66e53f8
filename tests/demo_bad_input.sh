#!/usr/bin/env bash
# The demo host refuses what it cannot use with a clear message and exit status 2, and writes
# nothing; a save or a screenshot it cannot write, or a wrong picture, ends it with status 3.
# Nothing it refuses is damaged and no temporary file stays behind.
# Usage: demo_bad_input.sh DEMO_HOST_EXE WORK_FOLDER
set -u
demo=$1
work=$2
here=$(cd "$(dirname "$0")/.." && pwd)
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0 cases=0

# expect STATUS NAME PATTERN ARGS...: that exit status and PATTERN in what it printed.
expect() {
    local want=$1 name=$2 pattern=$3
    shift 3
    local output status
    cases=$((cases + 1))
    output=$("$here/scripts/wine-run.sh" "$demo" "$@" 2>&1)
    status=$?
    if [ "$status" -ne "$want" ] || ! grep -qF -- "$pattern" <<<"$output"; then
        echo "FAILED: $name: status $status (expected $want), output:"
        sed 's/^/    /' <<<"$output"
        failures=$((failures + 1))
    else
        echo "ok: $name"
    fi
}
expect_refusal() { expect 2 "$@"; }

printf '{\n  "Portes": {\n    "max_sprites": 12.0,\n  }\n}\n' > invalid.json
printf '{"Portes": {"tau_reac": [1, 2, "x", 4]}}' > shape.json
printf '{"Clients": {"Client": [{"a": 1}, 3]}}' > mixed.json
printf '{"Portes": {"max_sprites": 1e400}}' > huge-number.json
{ printf '{"a": %.0s' $(seq 10000); printf '1'; printf '}%.0s' $(seq 10000); } > deep.json
printf '{"Portes": {"max_sprites": 1.0, "max_sprites": 2.0}}' > twice.json
printf '{"Portes": {"cube_map": "\xe9t\xe9.dds"}}' > latin1.json
printf '{"Portes": {"cube_map": "\xe4\xb8\xad.dds"}}' > outside.json
printf '{"Portes": {"max_sprites": "150"}}' > typed.json
: > empty.json
mkdir folder.json
truncate -s 33M large.json
cp "$here/demo/installation.json" example.json
cp example.json example.orig
touch not-a-folder
mkdir -p shots/SetupParams.png

expect_refusal "missing file" "missing.json: cannot be read" --config missing.json
expect_refusal "invalid JSON" "line 4, column 3" --config invalid.json
expect_refusal "vector with a string" "\"Portes.tau_reac\": expected four numbers" --config shape.json
expect_refusal "mixed list" "\"Clients.Client[1]\": expected an object or null" --config mixed.json
expect_refusal "number beyond a double" \
    "huge-number.json: line 1, column 32: \"Portes.max_sprites\": expected a number within single precision" \
    --config huge-number.json
expect_refusal "deep nesting" "nested deeper than 64 objects and arrays" --config deep.json
expect_refusal "duplicate key" "\"Portes.max_sprites\": the key is given twice in one object" --config twice.json
expect_refusal "invalid UTF-8" "ill-formed UTF-8 byte" --config latin1.json
expect_refusal "character outside the code page" "\"Portes.cube_map\": the character U+4E2D" --config outside.json
expect_refusal "wrong type for a known key" "\"Portes.max_sprites\": expected a number, found a string" --config typed.json
expect_refusal "empty file" "empty.json: the file is empty" --config empty.json
expect_refusal "folder" "folder.json: is a folder" --config folder.json
expect_refusal "too large a file" "large.json: larger than a configuration may be" --config large.json
expect_refusal "missing module" "cannot load nowhere.dll" --dll nowhere.dll --frames 1
expect_refusal "unknown option" "usage: demo_host" --fast
expect_refusal "bad frame count" "--frames takes a whole number" --frames 0
expect_refusal "screenshots folder that cannot be made" "cannot make the folder not-a-folder" \
    --frames 1 --screenshots not-a-folder
# Running as root, a folder without write permission is still written: a missing one stands in.
expect 3 "save into a folder that cannot be written" "saved.json: not saved: cannot write" \
    --frames 1 --check --config example.json --save-to missing/saved.json
expect 3 "screenshot that cannot be written" "screenshot of SetupParams could not be written" \
    --frames 1 --screenshots shots
# A check saves without --save-to too, but never over the file it loaded.
expect 0 "check without --save-to" "demo: done" --frames 1 --check --config example.json

# A file that did not load is never written over, nor anything beside it.
cmp -s example.json example.orig || { echo "FAILED: example.json was changed"; failures=$((failures + 1)); }
leftovers=$(ls ./*.bak ./*.tmp invalid.json.* example.json.* missing 2>/dev/null)
[ -n "$leftovers" ] && { echo "FAILED: files left behind: $leftovers"; failures=$((failures + 1)); }

echo "demo bad input: $((cases - failures)) of $cases runs as expected"
[ "$failures" -eq 0 ]
