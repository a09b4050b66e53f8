# Sourced by the build scripts: installs, on Debian 12 as root, whatever of the toolchain is
# missing. 64-bit Wine only: this kernel cannot run 32-bit programs, so no wine32 and no i386.
install_missing_packages() {
    local wanted=(cmake ninja-build g++ googletest
                  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64
                  wine wine64 xvfb nlohmann-json3-dev clang libclang-rt-14-dev "$@")
    local missing=()
    for pkg in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages (run as root to install them): ${missing[*]}" >&2
        return 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq && apt-get install -y -qq "${missing[@]}"
}

# The common start of the build scripts, run from the repository's top: what is missing is
# installed and an X server is there for Wine.
prepare_build_environment() {
    . scripts/xserver.sh
    install_missing_packages || exit 1
    start_xserver_if_needed || exit 1
}
