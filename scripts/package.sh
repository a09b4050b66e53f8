#!/usr/bin/env bash
# Builds the x86_64 and i686 modules and makes one archive of each installed tree,
# build/<preset>/packages/ToolWindows-<version>-<arch>.zip, then puts both in build/packages
# beside SHA256SUMS. Installs what is missing first.
# The archives are reproducible: names in byte order, no directory entries, no owners, modes 644
# and 755, and every file dated SOURCE_DATE_EPOCH (seconds since 1970, UTC), by default the time
# of the commit checked out (in a copy without .git, its newest file's). scripts/reproducible.sh
# checks it.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing_packages || exit 1

SOURCE_DATE_EPOCH=$(source_date_epoch) && [ -n "$SOURCE_DATE_EPOCH" ] || exit 1
export SOURCE_DATE_EPOCH

# make_zip BUILD_DIR NAME: the installed tree of BUILD_DIR as BUILD_DIR/packages/NAME.zip, its
# files under NAME/. zip -X leaves out owners and the extra times; it keeps local time, hence UTC.
make_zip() {
    local build=$1 name=$2 stage
    stage=$build/packages/stage
    rm -rf "$stage" "$build/packages/$name.zip" && mkdir -p "$stage" || return 1
    cmake --install "$build" --prefix "$stage/$name" >"$build/packages/install.log" 2>&1 ||
        { cat "$build/packages/install.log" >&2; return 1; }
    find "$stage/$name" -type d -exec chmod 755 {} + &&
        find "$stage/$name" -type f -exec chmod 644 {} + &&
        find "$stage/$name" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} + || return 1
    (cd "$stage" && find "$name" -type f | LC_ALL=C sort | TZ=UTC zip -q -X -D "../$name.zip" -@)
}

status=0
archives=()
for preset in mingw64 mingw32; do
    case $preset in mingw64) arch=x86_64 ;; mingw32) arch=i686 ;; esac
    step "$preset: configure, build, package"
    # Only what the package holds is built, and without SOURCE_DATE_EPOCH, which binutils would
    # write into the headers: a plain build must give the same bytes.
    if cmake --preset "$preset" >/dev/null &&
       env -u SOURCE_DATE_EPOCH cmake --build --preset "$preset" --target toolwindows brin hostkit; then
        version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "build/$preset/CMakeCache.txt")
        name=ToolWindows-$version-$arch
        if make_zip "build/$preset" "$name"; then
            archives+=("build/$preset/packages/$name.zip")
            continue
        fi
    fi
    echo "== $preset: packaging failed" >&2
    status=1
done
[ "$status" -eq 0 ] || exit 1

# Both archives and their checksums in one folder, as they are published.
rm -rf build/packages && mkdir -p build/packages && cp "${archives[@]}" build/packages/ &&
    (cd build/packages && sha256sum ToolWindows-*.zip >SHA256SUMS) || exit 1
ls -l build/packages
cat build/packages/SHA256SUMS
