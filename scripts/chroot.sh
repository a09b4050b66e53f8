#!/usr/bin/env bash
# Runs the README's commands as a newcomer would, on a pristine Debian release: a minimal system
# made anew with debootstrap (from the mirror apt already uses) in build/chroot/RELEASE, a copy of
# this tree in it (.git included when there is one, build/ left out), and inside, as root:
#   scripts/chroot.sh RELEASE                  # scripts/demo.sh, then scripts/test.sh
#   scripts/chroot.sh RELEASE COMMAND...       # that command instead, e.g. scripts/test.sh native
# RELEASE is a Debian code name: trixie (13) or bookworm (12). Whatever the commands install goes
# into the chroot only. /proc, /sys and /dev are mounted for the run and unmounted on every way
# out; the chroot stays, for its logs and pictures (build/chroot/RELEASE/src/build), until the
# next run replaces it. Needs root. Its status is the commands'.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
top=$PWD
release=${1:-}
shift
# The command, as a shell in the tree's copy reads it.
command="scripts/demo.sh && scripts/test.sh"
[ $# -gt 0 ] && command=$(printf '%q ' "$@")
if [ -z "$release" ] || [[ ! $release =~ ^[a-z]+$ ]]; then
    echo "usage: scripts/chroot.sh RELEASE [COMMAND...]   (RELEASE: trixie or bookworm)" >&2
    exit 2
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "chroot.sh: debootstrap, mount and chroot need root" >&2
    exit 1
fi
root=$top/build/chroot/$release
log=$top/build/logs/chroot-$release.log
mkdir -p "$top/build/chroot" "$top/build/logs"
start=$SECONDS
elapsed() { echo "$((SECONDS - start)) s"; }

# The mounts under the chroot, deepest first.
mounts_under() { findmnt -rn -o TARGET | awk -v r="$1" '$0 == r || index($0, r "/") == 1' | sort -r; }
unmount_all() {
    local target
    for target in $(mounts_under "$root"); do
        umount -l "$target" 2>/dev/null || umount -R -l "$target" 2>/dev/null
    done
    if [ -n "$(mounts_under "$root")" ]; then
        echo "chroot.sh: still mounted under $root: $(mounts_under "$root" | tr '\n' ' ')" >&2
        return 1
    fi
}

command -v debootstrap >/dev/null || install_missing_packages debootstrap || exit 1
if [ ! -f "/usr/share/debootstrap/scripts/$release" ]; then
    echo "chroot.sh: debootstrap knows no release $release (it knows: trixie, bookworm and others in /usr/share/debootstrap/scripts)" >&2
    exit 2
fi

# One run per release at a time: the next one would remove this one's tree under it.
exec 8>"$root.lock"
if ! flock -n 8; then
    echo "chroot.sh: another run uses $root" >&2
    exit 1
fi
trap 'unmount_all' EXIT
trap 'exit 130' INT TERM

# The first Debian mirror of apt's sources (not the security one), unless TOOLWINDOWS_MIRROR says.
mirror=${TOOLWINDOWS_MIRROR:-$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
    sed -nE 's/^URIs: *([^ ]+).*/\1/p; s/^deb +(\[[^]]*\] +)?([^ ]+) .*/\2/p' | grep -v security | grep -m 1 /debian)}
mirror=${mirror:-http://deb.debian.org/debian}

# A run that was killed may have left its tree, even its mounts: both go, and a mount that does
# not is never removed through.
step "chroot $release: making a minimal Debian $release from $mirror"
unmount_all || exit 1
rm -rf --one-file-system "$root" || { echo "chroot.sh: could not remove the previous $root" >&2; exit 1; }
if ! debootstrap --variant=minbase "$release" "$root" "$mirror" >"$log" 2>&1; then
    grep -m 3 -E '^E: ' "$log" >&2
    echo "chroot.sh: debootstrap of $release from $mirror failed (whole output: $log)" >&2
    exit 1
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
echo "made in $(elapsed)"

step "chroot $release: copying this tree to /src"
mkdir -p "$root/src"
if ! tar -C "$top" --exclude=./build -c . | tar -C "$root/src" -x; then
    echo "chroot.sh: copying the tree failed" >&2
    exit 1
fi
# A worktree's .git is a file naming a folder outside: the copy is then a tree without history.
[ -f "$root/src/.git" ] && rm -f "$root/src/.git"

mount -t proc proc "$root/proc" && mount -t sysfs sys "$root/sys" && mount --rbind /dev "$root/dev" &&
    mount --make-rslave "$root/dev" || { echo "chroot.sh: mounting /proc, /sys or /dev failed" >&2; exit 1; }

# The commands see a clean environment: no display of ours (they start their own Xvfb), nothing
# of this shell's settings.
step "chroot $release: $command"
chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" CI="${CI:-}" LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c "cd /src && $command"
status=$?
echo "chroot $release: $command: status $status, $(elapsed) in all"
unmount_all || status=1
exit "$status"
