# Sourced by the build scripts: installs, as root on Debian 13 (trixie) or Debian 12 (bookworm),
# whatever of the toolchain is missing: MinGW-w64, 64-bit Wine and, for the 32-bit programs,
# Debian's 32-bit Wine with a user-mode emulator (this kernel runs no 32-bit Linux code). The
# release decides the names: each installs only its own packages, from its own sources.

# A header for each step of a script, so that a long output says where it is.
step() {
    echo
    echo "== $*"
}

# The release's code name, from /etc/os-release, or TOOLWINDOWS_DEBIAN_RELEASE when set (to use
# a known release's names on a system derived from it).
debian_release() {
    if [ -n "${TOOLWINDOWS_DEBIAN_RELEASE:-}" ]; then
        echo "$TOOLWINDOWS_DEBIAN_RELEASE"
        return
    fi
    (. "${TOOLWINDOWS_OS_RELEASE:-/etc/os-release}" 2>/dev/null && [ "${ID:-}" = debian ] && echo "${VERSION_CODENAME:-}")
}

# What differs between the releases: the runtime of the clang that `clang` installs (libFuzzer and
# the sanitizers), and where a recent enough qemu-user comes from (Debian 12's own 7.2 spends
# about a minute in every Wine process's start-up; bookworm-backports has 10).
release_packages() {
    case $1 in
    trixie) clang_runtime=libclang-rt-19-dev qemu_suite="" ;;
    bookworm) clang_runtime=libclang-rt-14-dev qemu_suite=bookworm-backports ;;
    *) return 1 ;;
    esac
}

# Sets `release` and its names, or says in one line why it cannot.
known_release() {
    release=$(debian_release)
    release_packages "$release" && return 0
    echo "unsupported system: $(. "${TOOLWINDOWS_OS_RELEASE:-/etc/os-release}" 2>/dev/null; echo "${PRETTY_NAME:-no /etc/os-release}")" \
        "(packages are named for Debian 13 trixie and Debian 12 bookworm; nothing was installed):" \
        "set TOOLWINDOWS_DEBIAN_RELEASE=trixie or bookworm to use one's names" >&2
    return 1
}

# apt_get LOG ARGUMENTS...: apt-get with its output in LOG; on failure, its first error and one line.
apt_get() {
    local log=$1
    shift
    if apt-get "$@" >>"$log" 2>&1; then
        return 0
    fi
    grep -m 3 -E '^E: ' "$log" >&2
    echo "apt-get $* failed (whole output: $log)" >&2
    return 1
}

install_missing_packages() {
    local release clang_runtime qemu_suite
    known_release || return 1
    local wanted=(cmake ninja-build g++ googletest git
                  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64
                  wine wine64 fonts-wine xvfb nlohmann-json3-dev clang "$clang_runtime" zip unzip "$@")
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
    : >"$log"
    apt-get update >>"$log" 2>&1 || echo "apt-get update reported errors (see $log)" >&2
    apt_get "$log" install -y "${missing[@]}" || return 1
    echo "$(grep -E 'newly installed' "$log" | tail -n 1) (apt-get's output: $log)"
}

# The 32-bit part: Debian's wine32:i386, run through qemu-i386: the release's own qemu-user, or
# on Debian 12 the one from bookworm-backports, from a list file of our own (the system's sources
# files are never changed, and no other release's suite is ever added).
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
    local release clang_runtime qemu_suite
    known_release || return 1
    step "installing the 32-bit Wine (wine32:i386) and qemu-user${qemu_suite:+ from $qemu_suite}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "The 32-bit run needs wine32:i386 and qemu-user${qemu_suite:+ from $qemu_suite} (run as root to install them)" >&2
        return 1
    fi
    local log=build/logs/apt-get-i686.log
    mkdir -p build/logs
    : >"$log"
    export DEBIAN_FRONTEND=noninteractive
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    if [ -n "$qemu_suite" ] && ! grep -rqs "^[^#]*$qemu_suite" /etc/apt/sources.list /etc/apt/sources.list.d/; then
        echo "deb http://deb.debian.org/debian $qemu_suite main" >/etc/apt/sources.list.d/toolwindows-backports.list
    fi
    # A mirror in the middle of a sync can fail one index (seen: the i386 security one); what
    # did download is still used, and the install below copes with the versions it left.
    apt-get update >>"$log" 2>&1 || echo "apt-get update reported errors (see $log)" >&2
    if ! apt-get install -y --no-install-recommends wine32:i386 >>"$log" 2>&1; then
        install_wine32_from_consistent_versions "$release" >>"$log" 2>&1
    fi
    qemu_is_recent || apt-get install -y ${qemu_suite:+-t "$qemu_suite"} --no-install-recommends qemu-user >>"$log" 2>&1
    if i686_wine_is_installed; then
        echo "32-bit Wine: $(dpkg-query -W -f='${Version}' wine32:i386), $(qemu-i386 --version | head -n 1) (apt-get's output: $log)"
        return 0
    fi
    grep -m 3 -E '^E: ' "$log" >&2
    echo "the 32-bit Wine could not be installed (apt-get's output: $log); TOOLWINDOWS_SKIP_I686=1 skips the 32-bit run" >&2
    return 1
}
# When the i386 half of an index is older than the amd64 half, apt cannot pair the multiarch
# libraries and offers to remove wine64. Installing from the release alone, with the packages that
# differ pinned to the i386 candidate's version on both architectures, pairs them again.
install_wine32_from_consistent_versions() {
    local pins=() pkg version
    for pkg in libgstreamer-plugins-base1.0-0 gstreamer1.0-plugins-base gstreamer1.0-x; do
        version=$(apt-cache policy "$pkg:i386" | sed -n 's/^ *Candidate: //p')
        [ -n "$version" ] && [ "$version" != "(none)" ] && pins+=("$pkg:amd64=$version" "$pkg:i386=$version")
    done
    apt-get install -y -t "$1" --allow-downgrades --no-remove --no-install-recommends \
        wine32:i386 wine64 libwine "${pins[@]}"
}

# The time the release's files are dated with (SOURCE_DATE_EPOCH, seconds since 1970): as set, or
# the time of the commit checked out, or in a copy of the sources without their history the
# newest modification time of its files.
source_date_epoch() {
    if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
        echo "$SOURCE_DATE_EPOCH"
    elif is_git_checkout; then
        git log -1 --format=%ct
    else
        find . -path ./build -prune -o -type f -printf '%T@\n' | sort -n | tail -n 1 | cut -d. -f1
    fi
}
# Only this tree's own history counts: an export inside another checkout must not take its time.
is_git_checkout() { command -v git >/dev/null && [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$PWD" ]; }

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
