# SPDX-FileCopyrightText: 2026 Ripplescope developers
# SPDX-License-Identifier: MIT
# Sourced by the scripts that build or test in a fresh minimal Debian 12 root (as root):
#   fresh_root NAME      unpacks scripts/minbase-tarball's root into /var/tmp/ripplescope-NAME.*, mounts
#                        proc, sys and dev there and sets fresh_root_dir; the root goes away on exit
#   in_root COMMAND...   runs COMMAND inside it as root with a clean environment
#   fresh_root_remove    stops what still runs inside, unmounts and deletes it now

fresh_root_dir=
fresh_root_mounts=()

fresh_root() {
    local tarball fs
    tarball=$("$(dirname "${BASH_SOURCE[0]}")/../minbase-tarball")
    fresh_root_dir=$(mktemp -d "/var/tmp/ripplescope-$1.XXXXXX")
    trap fresh_root_remove EXIT
    tar -C "$fresh_root_dir" -xf "$tarball"
    for fs in proc sys dev dev/pts; do
        case $fs in
        proc) mount -t proc proc "$fresh_root_dir/proc" ;;
        sys) mount -t sysfs sys "$fresh_root_dir/sys" ;;
        *) mount --bind "/$fs" "$fresh_root_dir/$fs" ;;
        esac
        fresh_root_mounts+=("$fresh_root_dir/$fs")
    done
}

in_root() {
    chroot "$fresh_root_dir" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
        DEBIAN_FRONTEND=noninteractive "$@"
}

fresh_root_remove() {
    [ -n "$fresh_root_dir" ] || return 0
    local i proc killed=0
    # Whatever still runs inside (a virtual X server on its way out) holds the mounts.
    for proc in /proc/[0-9]*; do
        if [ "$(readlink "$proc/root" 2> /dev/null)" = "$fresh_root_dir" ]; then
            kill "${proc#/proc/}" 2> /dev/null && killed=1
        fi
    done
    [ "$killed" -eq 0 ] || sleep 1
    for ((i = ${#fresh_root_mounts[@]} - 1; i >= 0; i--)); do
        umount "${fresh_root_mounts[i]}" 2> /dev/null || umount -l "${fresh_root_mounts[i]}" || true
    done
    # Never delete through a mount that is still there.
    if ! grep -q " $fresh_root_dir/" /proc/mounts; then
        rm -rf --one-file-system "$fresh_root_dir"
    else
        echo "$fresh_root_dir still has mounts; left in place" >&2
    fi
    fresh_root_dir=
    fresh_root_mounts=()
}
