#!/usr/bin/env bash
# Builds the x86_64 module and the demo host, and runs the demo under Wine: a simulated
# installation in every window of the module. `--arch i686` (the first argument) does the same
# with the 32-bit module and demo host, under the 32-bit Wine through an emulator. On your display (DISPLAY set) it runs until you
# close the last window or press Ctrl+C; without one it runs 150 frames under Xvfb. Either way
# it writes one screenshot per window at the end, to build/screenshots or to the folder given
# with --screenshots DIR. Installs what is missing first. Extra arguments go to the demo host
# (see demo_host --help), e.g. --config FILE.
set -uo pipefail
cd "$(dirname "$0")/.."
preset=mingw64
if [ "${1:-}" = --arch ]; then
    case "${2:-}" in
    x86_64) ;;
    i686) preset=mingw32 need_i686_wine=1 ;;
    *) echo "demo.sh: --arch takes x86_64 or i686" >&2 && exit 2 ;;
    esac
    shift 2
fi
. scripts/deps.sh
prepare_build_environment

step "$preset: configuring and building the module and the demo host"
if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" --target demo_host; }; then
    echo "== $preset: build failed" >&2
    exit 1
fi

# The pictures go where the arguments say, or to build/screenshots.
shots=build/screenshots
own=(--screenshots "$shots")
args=("$@")
for ((i = 0; i < ${#args[@]}; ++i)); do
    if [ "${args[i]}" = --screenshots ] && [ $((i + 1)) -lt ${#args[@]} ]; then
        shots=${args[i + 1]}
        own=()
    fi
done
[ ${#own[@]} -gt 0 ] && mkdir -p "$shots"
frames=()
[ -n "$toolwindows_xvfb_pid" ] && frames=(--frames 150)
marker=$(mktemp)
step "running the demo host"
scripts/wine-run.sh "build/$preset/bin/demo_host.exe" "${frames[@]}" "${own[@]}" "$@"
status=$?
if [ -d "$shots" ]; then
    echo "screenshots: $(cd "$shots" && pwd)"
    # Only this run's pictures, not older ones that happen to be there.
    find "$shots" -maxdepth 1 -name '*.png' -newer "$marker" | sort | sed 's/^/  /'
fi
rm -f "$marker"
# The list above is of the files written; the demo host named any that is wrong.
[ "$status" -eq 3 ] && echo "demo.sh: a save or a picture was not written, or a picture is wrong (see above)" >&2
exit "$status"
