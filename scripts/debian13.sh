#!/usr/bin/env bash
# Builds Harovan and runs its plain tests on Debian 13 (trixie), so that a break
# on the current release shows the day it happens. The build runs in a Debian 13
# root folder made with debootstrap from the machine's own Debian mirror (the one
# apt is configured with) and kept outside the tree, in
#   ${HAROVAN_CACHE_DIR:-${XDG_CACHE_HOME:-~/.cache}/harovan}/debian13-root,
# where it is reused while it holds the package set of
# `install-deps.sh --plain` and updated on each run; otherwise it is made afresh
# (a first run downloads and unpacks the packages, some minutes). Its compiler
# cache sits beside it. The build folder is build-test-debian13 in the tree
# (preset test-debian13).
#
# Everything mounted for the root folder lives in a private mount namespace of
# this script's own: it goes when the script ends, however it ends.
#
# Usage: debian13.sh [--jobs N]    (run as root or with sudo)
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD

jobs=$(nproc)
if [ "${1:-}" = "--jobs" ] && [ -n "${2:-}" ]; then
    jobs=$2
fi

if [ "$(id -u)" -ne 0 ]; then
    exec sudo --preserve-env=HAROVAN_CACHE_DIR,XDG_CACHE_HOME,HOME bash "$0" "$@"
fi
if [ -z "${HAROVAN_DEBIAN13_NAMESPACE:-}" ]; then
    exec env HAROVAN_DEBIAN13_NAMESPACE=1 unshare --mount --propagation private -- bash "$0" "$@"
fi

suite=trixie
cache=${HAROVAN_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/harovan}
root=$cache/debian13-root
ccache_dir=$cache/debian13-ccache
mkdir -p "$cache" "$ccache_dir"

# One run at a time on one cache.
exec 9>"$cache/debian13.lock"
flock 9

# The mirrors apt already uses (the archive and its security archive).
apt_uri() {
    apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Identifier: Packages' 'Component: main' \
        | awk -v want="$1" '($2 ~ /-security$/) == (want == "security") { print $1; exit }'
}
mirror=${HAROVAN_DEBIAN_MIRROR:-$(apt_uri archive)}
security=${HAROVAN_DEBIAN_SECURITY_MIRROR:-$(apt_uri security)}
if [ -z "$mirror" ]; then
    echo "debian13.sh: apt names no Debian mirror; set HAROVAN_DEBIAN_MIRROR" >&2
    exit 1
fi

mapfile -t packages < <(bash scripts/install-deps.sh --list --plain | sort -u)
wanted="$suite ${packages[*]}"
stamp=.harovan-packages

chroot_run() {
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 PATH=/usr/sbin:/usr/bin:/sbin:/bin \
        DEBIAN_FRONTEND=noninteractive "$@"
}

write_sources() {
    {
        echo "deb $mirror $suite main"
        echo "deb $mirror $suite-updates main"
        [ -z "$security" ] || echo "deb $security $suite-security main"
    } >"$1/etc/apt/sources.list"
}

mounts_below() {
    findmnt -rn -o TARGET | grep -F "$1/" || true
}
unmount_below() {
    # Deepest first; the namespace drops whatever is left when the script ends.
    mounts_below "$1" | sort -r | while read -r m; do
        umount -l "$m" 2>/dev/null || true
    done
}
# Never delete through a mount: the tree and /dev are mounted into the root.
remove_root() {
    unmount_below "$1"
    if [ -n "$(mounts_below "$1")" ]; then
        echo "debian13.sh: $1 still has mounts below it; not removing it" >&2
        exit 1
    fi
    rm -rf "$1"
}
mount_system() {
    mount -t proc proc "$1/proc"
    mount --rbind /dev "$1/dev"
}
trap 'unmount_below "$root"; unmount_below "$root.new"' EXIT

if [ -f "$root/$stamp" ] && [ "$(cat "$root/$stamp")" = "$wanted" ]; then
    echo "--- Debian 13 root: reusing $root, bringing it up to date"
    write_sources "$root"
    mount_system "$root"
    chroot_run apt-get update -qq
    chroot_run apt-get dist-upgrade -y -qq -o Dpkg::Options::=--force-confold >/dev/null
    chroot_run apt-get clean
else
    echo "--- Debian 13 root: making it afresh in $root"
    remove_root "$root.new"
    # debootstrap wants the packages as one comma-separated list.
    include=$(IFS=,; echo "${packages[*]}")
    debootstrap --variant=minbase --components=main --include="$include" "$suite" "$root.new" "$mirror"
    write_sources "$root.new"
    chroot "$root.new" apt-get clean
    echo "$wanted" >"$root.new/$stamp"
    unmount_below "$root.new"
    remove_root "$root"
    mv "$root.new" "$root"
    mount_system "$root"
fi

mkdir -p "$root/$src" "$root/var/cache/harovan-ccache"
mount --bind "$src" "$root/$src"
mount --bind "$ccache_dir" "$root/var/cache/harovan-ccache"

echo "--- Debian 13 root ready after $SECONDS s: $(chroot_run sh -c '. /etc/os-release; echo $PRETTY_NAME'), \
$(chroot_run gcc --version | head -1), Qt $(chroot_run dpkg-query -W -f='${Version}' qt6-base-dev)"

in_root() {
    chroot_run env CCACHE_DIR=/var/cache/harovan-ccache CCACHE_BASEDIR="$src" \
        CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache bash -c "cd '$src' && $1"
}
# Every file that fails to compile is named, not only the first.
start=$SECONDS
in_root "cmake --preset test-debian13 >/dev/null && cmake --build --preset test-debian13 -j $jobs -- -k 0"
echo "--- Debian 13 build took $((SECONDS - start)) s"
start=$SECONDS
in_root "ctest --preset test-debian13 -j $jobs"
echo "--- Debian 13 tests took $((SECONDS - start)) s"
