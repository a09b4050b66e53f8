#!/usr/bin/env bash
# Runs one Windows program under Wine, in a prefix of the build's own, with an X server: the
# caller's DISPLAY, or an Xvfb started here and stopped again (only that one).
#   scripts/wine-run.sh [--arch x86_64|i686] PROGRAM.exe [ARGUMENTS...]
# The architecture is read from the program's PE header unless --arch names it. x86_64 programs
# run under the 64-bit loader; i686 ones under Debian's 32-bit Wine through qemu-i386, since this
# kernel runs no 32-bit Linux code. Each architecture has a prefix of its own.
set -u
here=$(cd "$(dirname "$0")" && pwd)
arch=""
if [ "${1:-}" = --arch ]; then
    arch=${2:-}
    shift 2
fi
if [ $# -eq 0 ]; then
    echo "usage: wine-run.sh [--arch x86_64|i686] PROGRAM.exe [ARGUMENTS...]" >&2
    exit 2
fi
. "$here/wine-env.sh"
if [ -z "$arch" ]; then
    arch=$(pe_architecture "$1") || {
        echo "wine-run.sh: $1 is not a Windows x86_64 or i686 program" >&2
        exit 2
    }
fi
case "$arch" in
x86_64 | i686) ;;
*) echo "wine-run.sh: unknown architecture $arch (x86_64 or i686)" >&2 && exit 2 ;;
esac
. "$here/xserver.sh"
start_xserver_if_needed || exit 1
prepare_wine "$arch" || exit 1
run_wine "$arch" "$@"
