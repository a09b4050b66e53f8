#!/usr/bin/env bash
# Builds the x86_64 and i686 modules and makes one archive of each installed tree:
# build/<preset>/packages/ToolWindows-<version>-<arch>.zip. Installs what is missing first.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing_packages || exit 1

status=0
for preset in mingw64 mingw32; do
    echo "== $preset: configure, build, package"
    if cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" &&
       (cd "build/$preset" && cpack --config CPackConfig.cmake); then
        ls -l "build/$preset"/packages/*.zip
    else
        echo "== $preset: packaging failed" >&2
        status=1
    fi
done
exit "$status"
