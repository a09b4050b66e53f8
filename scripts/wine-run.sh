#!/usr/bin/env bash
# Runs one Windows program under 64-bit Wine, in a prefix of the build's own, with an X server:
# the caller's DISPLAY, or an Xvfb started here and stopped again (only that one).
set -u
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="${TOOLWINDOWS_WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

xvfb_pid=""
stop_xvfb() {
    if [ -n "$xvfb_pid" ]; then
        wineserver -k 2>/dev/null
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
}
trap stop_xvfb EXIT

if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
    done
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
    export DISPLAY="$display"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    # Without a window manager Wine waits 2 s on every hide or destroy of a managed window.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
fi

wine "$@"
