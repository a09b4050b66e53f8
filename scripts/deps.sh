# Sourced by the build scripts: installs, on Debian 12 as root, whatever of the toolchain is
# missing: MinGW-w64, 64-bit Wine and, for the 32-bit programs, Debian's 32-bit Wine with a
# user-mode emulator (this kernel runs no 32-bit Linux code).

# A header for each step of a script, so that a long output says where it is.
step() {
    echo
    echo "== $*"
}

install_missing_packages() {
    local wanted=(cmake ninja-build g++ googletest
                  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64
                  wine wine64 fonts-wine xvfb nlohmann-json3-dev clang libclang-rt-14-dev zip "$@")
    local missing=()
    for pkg in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    step "installing ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages (run as root to install them): ${missing[*]}" >&2
        return 1
    fi
    # apt-get's output goes to a log; what it reports as errors or warnings is shown as well.
    local log=build/logs/apt-get.log
    mkdir -p build/logs
    export DEBIAN_FRONTEND=noninteractive
    # An index that fails to download (a mirror caught mid-sync) leaves the others usable.
    apt-get update >"$log" 2>&1 || echo "apt-get update reported errors (see $log)" >&2
    if apt-get install -y "${missing[@]}" >>"$log" 2>&1; then
        grep -E '^(E|W): ' "$log" >&2
        echo "$(grep -E 'newly installed' "$log" | tail -n 1) (apt-get's output: $log)"
    else
        grep -E '^(E|W): ' "$log" >&2
        echo "apt-get failed; its whole output is in $log" >&2
        return 1
    fi
}

# The 32-bit part: Debian's wine32:i386, run through qemu-i386 from bookworm-backports (Debian 12's
# own qemu-user 7.2 spends about a minute in every Wine process's start-up). Our own list file
# for backports; the system's sources files are never changed.
i686_wine_is_installed() {
    dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed' &&
        [ -x /usr/lib/wine/wine ] && qemu_is_recent
}
qemu_is_recent() {
    local version
    version=$(qemu-i386 --version 2>/dev/null | sed -nE '1s/.*version ([0-9]+)\..*/\1/p')
    [ -n "$version" ] && [ "$version" -ge 8 ]
}
install_i686_wine() {
    i686_wine_is_installed && return 0
    step "installing the 32-bit Wine (wine32:i386) and qemu-user from bookworm-backports"
    if [ "$(id -u)" -ne 0 ]; then
        echo "The 32-bit run needs wine32:i386 and qemu-user from bookworm-backports (run as root to install them)" >&2
        return 1
    fi
    local log=build/logs/apt-get-i686.log
    mkdir -p build/logs
    : >"$log"
    export DEBIAN_FRONTEND=noninteractive
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    if ! grep -rqs '^[^#]*bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        echo 'deb http://deb.debian.org/debian bookworm-backports main' \
            >/etc/apt/sources.list.d/toolwindows-backports.list
    fi
    # A mirror in the middle of a sync can fail one index (seen: the i386 security one); what
    # did download is still used, and the install below copes with the versions it left.
    apt-get update >>"$log" 2>&1 || echo "apt-get update reported errors (see $log)" >&2
    if ! apt-get install -y --no-install-recommends wine32:i386 >>"$log" 2>&1; then
        install_wine32_from_consistent_versions >>"$log" 2>&1
    fi
    qemu_is_recent || apt-get install -y -t bookworm-backports --no-install-recommends qemu-user >>"$log" 2>&1
    grep -E '^(E|W): ' "$log" >&2
    if i686_wine_is_installed; then
        echo "32-bit Wine: $(dpkg-query -W -f='${Version}' wine32:i386), $(qemu-i386 --version | head -n 1) (apt-get's output: $log)"
        return 0
    fi
    echo "the 32-bit Wine could not be installed (apt-get's output: $log); TOOLWINDOWS_SKIP_I686=1 skips the 32-bit run" >&2
    return 1
}
# When the i386 half of an index is older than the amd64 half, apt cannot pair the multiarch
# libraries and offers to remove wine64. Installing from bookworm alone, with the packages that
# differ pinned to the i386 candidate's version on both architectures, pairs them again.
install_wine32_from_consistent_versions() {
    local pins=() pkg version
    for pkg in libgstreamer-plugins-base1.0-0 gstreamer1.0-plugins-base gstreamer1.0-x; do
        version=$(apt-cache policy "$pkg:i386" | sed -n 's/^ *Candidate: //p')
        [ -n "$version" ] && [ "$version" != "(none)" ] && pins+=("$pkg:amd64=$version" "$pkg:i386=$version")
    done
    apt-get install -y -t bookworm --allow-downgrades --no-remove --no-install-recommends \
        wine32:i386 wine64 libwine "${pins[@]}"
}

# The common start of the build scripts, run from the repository's top: what is missing is
# installed (the 32-bit Wine too when need_i686_wine=1) and an X server is there for Wine.
prepare_build_environment() {
    . scripts/xserver.sh
    install_missing_packages || exit 1
    if [ "${need_i686_wine:-0}" = 1 ]; then
        install_i686_wine || exit 1
    fi
    start_xserver_if_needed || exit 1
}
