#!/usr/bin/env bash
# Runs tests/wine/crash_check.cpp's program under Wine, as the tests run, and checks that its crash
# ends it at once: a status other than 0 and Wine's backtrace, whose frame at fault says where
# (CTest's timeout bounds the wait).
# Usage: crash_check.sh PROGRAM HOW
set -u
program=$1 how=$2
here=$(cd "$(dirname "$0")/../.." && pwd)
# Frames read "=>0 0x00000140001537 WriteThroughNull+0x7() [crash_check.cpp:16] in crash_check (...)",
# or "=>0 0x000002582f1370 (...)" for an address that no module holds.
case $how in
null-write) at_fault='^=>0 0x[0-9a-f]+ WriteThroughNull\b' ;;
# The freed DLL's code is gone, and with it any name (and, on x86_64, a way to unwind to the
# caller): the address alone, in no module.
unloaded-code) at_fault='^=>0 0x[0-9a-f]+ \(' ;;
*) echo "crash_check.sh: unknown crash $how" && exit 2 ;;
esac
start=$(date +%s)
output=$("$here/scripts/wine-run.sh" "$program" "$how" 2>&1)
status=$?
seconds=$(($(date +%s) - start))
frame=$(sed -n '/^Backtrace:/,/^[^ =]/p' <<<"$output" | grep -E "$at_fault")
failures=()
[ "$status" -ne 0 ] || failures+=("status 0")
grep -q '^Backtrace:' <<<"$output" || failures+=("no backtrace")
[ -n "$frame" ] || failures+=("no frame at fault like $at_fault")
if [ ${#failures[@]} -eq 0 ]; then
    echo "ok: $how: status $status after $seconds s; $(grep -m1 '^wine: Unhandled' <<<"$output")"
    echo "ok: $how: frame at fault: $frame"
else
    printf -v reasons '%s, ' "${failures[@]}"
    echo "FAILED: $how: ${reasons%, } (status $status after $seconds s); the output:"
    sed 's/^/    /' <<<"$output"
    exit 1
fi
