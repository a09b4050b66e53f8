# Sourced by the build scripts: installs, on Debian 12 as root, whatever of the toolchain is
# missing. 64-bit Wine only: this kernel cannot run 32-bit programs, so no wine32 and no i386.

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
    if apt-get update >"$log" 2>&1 && apt-get install -y "${missing[@]}" >>"$log" 2>&1; then
        grep -E '^(E|W): ' "$log" >&2
        echo "$(grep -E 'newly installed' "$log" | tail -n 1) (apt-get's output: $log)"
    else
        grep -E '^(E|W): ' "$log" >&2
        echo "apt-get failed; its whole output is in $log" >&2
        return 1
    fi
}

# The common start of the build scripts, run from the repository's top: what is missing is
# installed and an X server is there for Wine.
prepare_build_environment() {
    . scripts/xserver.sh
    install_missing_packages || exit 1
    start_xserver_if_needed || exit 1
}
