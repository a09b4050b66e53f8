# Sourced by the build scripts: when no DISPLAY is set, starts an Xvfb for the whole run and
# stops it (and the Wine server of our prefix) on exit. Only what was started here is stopped.
toolwindows_xvfb_pid=""
stop_own_xserver() {
    if [ -n "$toolwindows_xvfb_pid" ]; then
        WINEPREFIX="$TOOLWINDOWS_WINEPREFIX" wineserver -k 2>/dev/null || true
        kill "$toolwindows_xvfb_pid" 2>/dev/null || true
        wait "$toolwindows_xvfb_pid" 2>/dev/null || true
        toolwindows_xvfb_pid=""
    fi
}
start_xserver_if_needed() {
    export TOOLWINDOWS_WINEPREFIX="${TOOLWINDOWS_WINEPREFIX:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wineprefix}"
    [ -n "${DISPLAY:-}" ] && return 0
    local n display=""
    for n in $(seq 90 140); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
    done
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    toolwindows_xvfb_pid=$!
    trap stop_own_xserver EXIT
    for _ in $(seq 200); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
    export DISPLAY="$display"
}
