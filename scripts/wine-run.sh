#!/usr/bin/env bash
# Runs one Windows program under 64-bit Wine, in a prefix of the build's own, with an X server:
# the caller's DISPLAY, or an Xvfb started here and stopped again (only that one).
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xserver.sh"
start_xserver_if_needed || exit 1
export WINEPREFIX="$TOOLWINDOWS_WINEPREFIX"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    # Without a window manager Wine waits 2 s on every hide or destroy of a managed window.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
fi
# Debian's Wine looks for its own fonts (Marlett draws the caption buttons, MS Sans Serif is the
# templates' font) in /usr/share/fonts, while fonts-wine puts them in /usr/share/wine/fonts:
# without them the caption buttons show as the letters "r", "0", "1" and the dialogs get a
# substitute's metrics. The prefix's own Fonts folder, which Wine reads first, gets a copy.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -d /usr/share/wine/fonts ] && [ ! -f "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts" && cp -n /usr/share/wine/fonts/* "$fonts/"
fi

wine "$@"
exit $?
