#!/usr/bin/env bash
# The long run: for each window kind, memory and the thread's windows every 1,000 of 10,000
# create/release cycles (longrun_bench), then the demo host's frame time, median and worst, over
# an hour of frames (108,000 at 30 a second) or the number given. Takes a few hours in all under
# Wine and Xvfb. Installs what is missing first.
#   scripts/longrun.sh [FRAMES [CYCLES]]
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
prepare_build_environment

frames=${1:-108000}
cycles=${2:-10000}
if ! { cmake --preset mingw64 >/dev/null && cmake --build --preset mingw64 --target longrun_bench demo_host; }; then
    echo "== mingw64: build failed" >&2
    exit 1
fi

scripts/wine-run.sh build/mingw64/bin/longrun_bench.exe --cycles "$cycles" --every 1000 || exit 1
echo "demo host, $frames frames:"
# Its log lines (one every 20 frames) are left out; the frame times are its closing lines.
scripts/wine-run.sh build/mingw64/bin/demo_host.exe --frames "$frames" | grep -av '^log: \|^start-up: '
