#!/usr/bin/env bash
# Fuzzes the window-independent code for as long as asked:
#     scripts/fuzz.sh [TARGET|all] [SECONDS]      (all targets, 300 seconds each, by default)
# Targets: str value setup_table log_lines sensor_geometry json_config (tests/fuzz/*_fuzz.cpp).
# Each starts from the repository's corpus (tests/fuzz/corpus/TARGET) and from what earlier runs
# grew in build/fuzz/grown/TARGET, where new inputs go. A failure does not stop the run: every
# input that made a target fail is copied to tests/fuzz/corpus/TARGET, where it stays as a
# regression input that the test command runs; commit it with the fix. Logs: build/fuzz/logs.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing_packages || exit 1

all=(str value setup_table log_lines sensor_geometry json_config)
which=${1:-all}
seconds=${2:-300}
if [ "$which" = all ]; then
    targets=("${all[@]}")
elif [[ " ${all[*]} " == *" $which "* ]]; then
    targets=("$which")
else
    echo "usage: scripts/fuzz.sh [TARGET|all] [SECONDS]; targets: ${all[*]}" >&2
    exit 2
fi
cmake --preset fuzz >/dev/null && cmake --build --preset fuzz || exit 1

failed=()
for t in "${targets[@]}"; do
    grown=build/fuzz/grown/$t crashes=build/fuzz/crashes/$t log=build/fuzz/logs/$t.log
    mkdir -p "$grown" "$crashes" build/fuzz/logs
    rm -f "$crashes"/*
    echo "== $t: ${seconds}s"
    # Fork mode goes on after a failure; the inputs land under the artifact prefix.
    build/fuzz/bin/fuzz_"$t" "$grown" tests/fuzz/corpus/"$t" -max_total_time="$seconds" -fork=1 \
        -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 -timeout=20 -artifact_prefix="$crashes/" \
        >"$log" 2>&1
    grep -E '^#[0-9]+: cov:' "$log" | tail -n 1
    for f in "$crashes"/crash-* "$crashes"/leak-* "$crashes"/timeout-* "$crashes"/oom-*; do
        [ -e "$f" ] || continue
        cp "$f" tests/fuzz/corpus/"$t"/
        echo "   failed on tests/fuzz/corpus/$t/$(basename "$f")"
        failed+=("$t")
    done
done
[ ${#failed[@]} -eq 0 ] && echo "fuzz: no failure" && exit 0
echo "fuzz: failures kept as regression inputs (see build/fuzz/logs): $(printf '%s\n' "${failed[@]}" | sort -u | tr '\n' ' ')"
exit 1
