#!/usr/bin/env bash
# Builds the x86_64 module and the demo host, and runs the demo under Wine: it drives every window
# the module offers and leaves screenshots in build/screenshots. Installs what is missing first.
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
scripts/wine-run.sh build/mingw64/bin/demo_host.exe "$shots"
status=$?
echo "screenshots: $PWD/$shots"
ls -1 "$shots"/*.png 2>/dev/null | sed 's/^/  /'
exit "$status"
