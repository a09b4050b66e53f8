#!/usr/bin/env bash
# Builds the x86_64 module and the demo host, and runs the demo under Wine: a simulated
# installation in every window of the module. On your display (DISPLAY set) it runs until you
# close the last window or press Ctrl+C; without one it runs 150 frames under Xvfb. Either way
# it writes one screenshot per window to build/screenshots at the end. Installs what is missing
# first. Extra arguments go to the demo host (see demo_host --help), e.g. --config FILE.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
prepare_build_environment

if ! { cmake --preset mingw64 >/dev/null && cmake --build --preset mingw64 --target demo_host; }; then
    echo "== mingw64: build failed" >&2
    exit 1
fi

shots=build/screenshots
mkdir -p "$shots"
frames=()
[ -n "$toolwindows_xvfb_pid" ] && frames=(--frames 150)
scripts/wine-run.sh build/mingw64/bin/demo_host.exe "${frames[@]}" --screenshots "$shots" "$@"
status=$?
echo "screenshots: $PWD/$shots"
ls -1 "$shots"/*.png 2>/dev/null | sed 's/^/  /'
exit "$status"
