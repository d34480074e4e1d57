#!/usr/bin/env bash
# Lays out a Debian 13 root with Debian's Firebird 4.0 (which needs a newer C
# library than Debian 12 has), for the tests that run the module there:
#
#   bash tools/firebird4_root.sh [DIR]     (default /var/tmp/vexa-firebird4)
#
# The root is made once (debootstrap, then apt-get install in it) and kept;
# a root that is missing or was left half made is made anew. Each run mounts
# /proc, /dev and /dev/pts in it (the packages' scripts and the server need
# them) where they are not mounted yet, and prints the root's directory.
# Runs as root on Debian 12: it installs debootstrap.
set -euo pipefail

root_dir=${1:-/var/tmp/vexa-firebird4}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
marker="$root_dir/.vexa-firebird4-root"
mirror=http://deb.debian.org/debian

fail() { echo "firebird4_root.sh: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "run as root: it makes a root with debootstrap and mounts in it"

mount_in_root() {
  local what
  for what in proc dev dev/pts; do
    mkdir -p "$root_dir/$what"
    mountpoint -q "$root_dir/$what" && continue
    case $what in
      proc) mount -t proc proc "$root_dir/proc" ;;
      *) mount --bind "/$what" "$root_dir/$what" ;;
    esac
  done
}

unmount_root() {
  local what
  for what in dev/pts dev proc; do
    if mountpoint -q "$root_dir/$what"; then umount "$root_dir/$what"; fi
  done
}

if [ ! -f "$marker" ]; then
  bash "$here/install_packages.sh" debootstrap >&2
  if [ -d "$root_dir" ]; then
    unmount_root
    rm -rf --one-file-system "$root_dir"
  fi
  debootstrap --variant=minbase trixie "$root_dir" "$mirror" >&2
  # The packages' scripts may not start services in the root.
  printf '#!/bin/sh\nexit 101\n' > "$root_dir/usr/sbin/policy-rc.d"
  chmod +x "$root_dir/usr/sbin/policy-rc.d"
  cp /etc/hosts "$root_dir/etc/hosts"
  mount_in_root
  chroot "$root_dir" apt-get update >&2
  DEBIAN_FRONTEND=noninteractive chroot "$root_dir" apt-get install -y --no-install-recommends \
    firebird4.0-server firebird4.0-utils >&2
  chroot "$root_dir" /usr/lib/x86_64-linux-gnu/firebird/4.0/bin/isql-fb -z >/dev/null 2>&1 ||
    fail "isql-fb of Firebird 4.0 does not run in $root_dir"
  touch "$marker"
fi
mount_in_root
echo "$root_dir"
