# Sourced by the scripts that run Windows programs: which architecture a program is, the prefix
# of each architecture, and how each is started. The loaders are called directly: once wine32 is
# installed, /usr/bin/wine starts the 32-bit loader first, which this kernel refuses.
toolwindows_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TOOLWINDOWS_WINEPREFIX="${TOOLWINDOWS_WINEPREFIX:-$toolwindows_top/build/wineprefix}"
export TOOLWINDOWS_WINEPREFIX_I686="${TOOLWINDOWS_WINEPREFIX_I686:-$toolwindows_top/build/wineprefix-i686}"
wine64_loader=/usr/lib/wine/wine64
wine32_loader=/usr/lib/wine/wine
wine32_dlls=/usr/lib/i386-linux-gnu/wine/i386-windows
. "$toolwindows_top/scripts/pe.sh"

wine_prefix_of() {
    if [ "$1" = i686 ]; then echo "$TOOLWINDOWS_WINEPREFIX_I686"; else echo "$TOOLWINDOWS_WINEPREFIX"; fi
}
# Where Wine 10's 32-bit programs start from (see run_wine): beside the 32-bit prefix.
i686_loader_tree() { echo "$(wine_prefix_of i686)-loaders"; }

# Whether 32-bit programs can run here at all.
i686_wine_is_available() {
    [ -x "$wine32_loader" ] && [ -d "$wine32_dlls" ] && command -v qemu-i386 >/dev/null
}

# Whether the 32-bit loader is position-independent (ELF type 3), as Wine 10's is; Wine 8's is
# not. The emulator loads such a loader at 0x400000, the image base of nearly every 32-bit
# program, so the program's image has to move.
wine32_loader_is_pie() {
    [ "$(od -An -tu2 -j16 -N2 "$wine32_loader" 2>/dev/null | tr -d ' ')" = 3 ]
}

# make_i686_loader_tree: the folder run_wine starts Wine 10's 32-bit programs from. Wine takes its
# own folder from /proc/self/exe (links resolved) and finds its libraries and data relative to it,
# and it starts a process of the other architecture with the loader beside its own: so copies of
# both loaders, "wine" being scripts/wine-loaders/wine32-emulated, and links to the system's
# libraries and data where the copies look for them.
make_i686_loader_tree() {
    local tree bin dir
    tree=$(i686_loader_tree)
    bin=$tree/usr/lib/wine
    mkdir -p "$bin" || return 1
    copy_if_changed "$wine64_loader" "$bin/wine64" && copy_if_changed "$wine32_loader" "$bin/wine32" &&
        link_if_changed "$toolwindows_top/scripts/wine-loaders/wine32-emulated" "$bin/wine" &&
        link_if_changed /usr/lib/wine/wineserver "$bin/wineserver" || return 1
    for dir in /usr/lib/x86_64-linux-gnu /usr/lib/i386-linux-gnu /usr/share; do
        link_if_changed "$dir" "$tree$dir" || return 1
    done
}
# Replaced only when different, and then at once: another run may be starting Wine from the tree.
copy_if_changed() {
    cmp -s "$1" "$2" || { cp -f "$1" "$2.new" && mv -f "$2.new" "$2"; }
}
link_if_changed() {
    [ "$(readlink "$2")" = "$1" ] || { ln -sfn "$1" "$2.new" && mv -fT "$2.new" "$2"; }
}

# run_wine ARCH PROGRAM [ARGUMENTS...], in that architecture's prefix, which must exist.
run_wine() {
    local arch=$1
    shift
    export WINEPREFIX
    WINEPREFIX=$(wine_prefix_of "$arch")
    export WINEDEBUG="${WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    if [ "$arch" = i686 ] && wine32_loader_is_pie; then
        # Wine 10 takes a first program whose image is not at its base (under the emulator, nearly
        # all) for one it cannot start, and hands it to start.exe in the same process, which then
        # cannot start the 32-bit loader. Started by the 64-bit loader, start.exe runs natively
        # and starts the program with the loader beside its own, which goes through the emulator;
        # a process so started accepts the moved image.
        "$(i686_loader_tree)/usr/lib/wine/wine64" "$@"
    elif [ "$arch" = i686 ]; then
        # WINELOADERNOEXEC skips Wine's preloader, whose exec of a 32-bit file needs binfmt_misc.
        # A 32-bit Wine process starts another program by exec'ing the loader of the program's
        # architecture, first beside its own (which this kernel refuses for the 32-bit one), then
        # on the PATH: there it finds loaders that go through the emulator too.
        PATH="$toolwindows_top/scripts/wine-loaders:$PATH" WINELOADERNOEXEC=1 \
            qemu-i386 "$wine32_loader" "$@"
    else
        "$wine64_loader" "$@"
    fi
}

# prepare_wine ARCH: makes that architecture's prefix on first use. A lock keeps two runs that
# start at once from making it together; neither stops the other's Wine server.
prepare_wine() {
    local arch=$1 prefix
    prefix=$(wine_prefix_of "$arch")
    if [ "$arch" = i686 ] && ! i686_wine_is_available; then
        echo "no 32-bit Wine here: scripts/test.sh installs wine32:i386 and qemu-user (on Debian 12 from bookworm-backports)" >&2
        return 1
    fi
    mkdir -p "$(dirname "$prefix")" || return 1
    (
        flock 9
        if [ "$arch" = i686 ] && wine32_loader_is_pie; then
            make_i686_loader_tree || exit 1
        fi
        # The marker holds the version of what is done below: a prefix made by an older one gets
        # the rest (2: crashes end with a backtrace).
        [ "$(cat "$prefix/.toolwindows-ready" 2>/dev/null)" = 2 ] && exit 0
        mkdir -p "$prefix" || exit 1
        export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
        # Made by the 64-bit Wine in both cases: a WoW64 prefix, whose 32-bit half (syswow64) the
        # 32-bit loader needs filled with its own DLLs, programs and drivers. explorer.exe stays
        # out: the desktop process is the 64-bit one.
        [ -f "$prefix/system.reg" ] || "$wine64_loader" wineboot -i >/dev/null 2>&1
        # Without a window manager Wine waits 2 s on every hide or destroy of a managed window.
        "$wine64_loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        prepare_wine_crashes || exit 1
        /usr/lib/wine/wineserver -w
        if [ "$arch" = i686 ]; then
            find "$wine32_dlls" -maxdepth 1 -type f ! -name explorer.exe \
                -exec cp -f -t "$prefix/drive_c/windows/syswow64" {} + || exit 1
            # wineboot registered the 64-bit COM classes only; the demo host's screenshots need
            # the 32-bit imaging codecs' too. Wine 10's regsvr32 /s prints its result instead of
            # showing it: the exit status is what counts.
            run_wine i686 'C:\windows\syswow64\regsvr32.exe' /s 'C:\windows\syswow64\windowscodecs.dll' \
                >/dev/null 2>&1 || exit 1
            /usr/lib/wine/wineserver -w
        fi
        # Debian's Wine looks for its own fonts (Marlett draws the caption buttons, MS Sans Serif
        # is the templates' font) in /usr/share/fonts, while fonts-wine puts them in
        # /usr/share/wine/fonts: without them the caption buttons show as the letters "r", "0",
        # "1" and the dialogs get a substitute's metrics. The prefix's own Fonts folder, which
        # Wine reads first, gets a copy.
        if [ -d /usr/share/wine/fonts ]; then
            mkdir -p "$prefix/drive_c/windows/Fonts" &&
                cp -n /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"
        fi
        [ -f "$prefix/system.reg" ] && echo 2 >"$prefix/.toolwindows-ready"
    ) 9>"$prefix.lock"
}

# A program that crashes ends at once, with the fault and a backtrace on its standard output,
# instead of waiting in the debugger: Wine's debugger, started for the crash (AeDebug, Auto 1),
# prints the backtrace and ends the program, but first shows a dialog that nobody answers under
# Xvfb. 32-bit programs take the debugger from the 32-bit view (Wow6432Node), which Wine leaves
# empty; the 64-bit winedbg, started through sysnative, debugs them (a 32-bit process here cannot
# start another 32-bit one). Run inside prepare_wine, with WINEPREFIX set.
prepare_wine_crashes() {
    local aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
    local aedebug32='HKLM\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug'
    "$wine64_loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f &&
        "$wine64_loader" reg add "$aedebug" /v Debugger /t REG_SZ /d 'winedbg --auto %ld %ld' /f &&
        "$wine64_loader" reg add "$aedebug" /v Auto /t REG_SZ /d 1 /f &&
        "$wine64_loader" reg add "$aedebug32" /v Debugger /t REG_SZ \
            /d 'C:\windows\sysnative\winedbg.exe --auto %ld %ld' /f &&
        "$wine64_loader" reg add "$aedebug32" /v Auto /t REG_SZ /d 1 /f
} >/dev/null 2>&1
