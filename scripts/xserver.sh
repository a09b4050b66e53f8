# Sourced by the build scripts: when no DISPLAY is set, starts an Xvfb for the whole run and
# stops it on exit. Only what was started here is stopped: never a Wine server, which may serve
# another run in the same prefix and ends by itself once its last program has.
# The server picks its own display (-displayfd): a display that looks free in /tmp may still be
# served by another program through the abstract socket, and we must never use that one.
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
toolwindows_xvfb_pid=""
stop_own_xserver() {
    if [ -n "$toolwindows_xvfb_pid" ]; then
        # Our prefixes' Wine servers end once their programs have; their desktop processes still
        # hold the display until then, and would complain of a server gone under them. A wait,
        # bounded in case another run shares the prefix: nothing is stopped here.
        local prefix
        for prefix in "${TOOLWINDOWS_WINEPREFIX:-}" "${TOOLWINDOWS_WINEPREFIX_I686:-}"; do
            [ -d "$prefix" ] && WINEPREFIX=$prefix timeout 10 /usr/lib/wine/wineserver -w 2>/dev/null
        done
        kill "$toolwindows_xvfb_pid" 2>/dev/null || true
        wait "$toolwindows_xvfb_pid" 2>/dev/null || true
        toolwindows_xvfb_pid=""
    fi
}
start_xserver_if_needed() {
    [ -n "${DISPLAY:-}" ] && return 0
    local answer number=""
    answer=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$answer" >/dev/null 2>&1 &
    toolwindows_xvfb_pid=$!
    trap stop_own_xserver EXIT
    # The number arrives, newline-terminated, once the server listens.
    for _ in $(seq 200); do
        number=$(sed -n '1{/^[0-9][0-9]*$/p}' "$answer")
        [ -n "$number" ] && break
        kill -0 "$toolwindows_xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    rm -f "$answer"
    if [ -z "$number" ] || ! kill -0 "$toolwindows_xvfb_pid" 2>/dev/null; then
        echo "Xvfb did not start: no X server for Wine" >&2
        stop_own_xserver
        return 1
    fi
    export DISPLAY=":$number"
}
