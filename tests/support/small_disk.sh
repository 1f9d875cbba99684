#!/usr/bin/env bash
# Runs a command with a small file system of its own: a tmpfs of SIZE in a private mount
# namespace, at $SMALL_DISK. Wine there needs a server of its own, so the command runs on a
# throwaway copy of the prefix (hard links) in $WINEPREFIX; that server is ended after it.
#
#   small_disk.sh SIZE COMMAND [ARGUMENT...]   the command's exit status; 77: skipped (needs
#                                              root, unshare and WINEPREFIX)
set -euo pipefail
size=$1
shift
if [ "$(id -u)" != 0 ] || ! command -v unshare >/dev/null || [ -z "${WINEPREFIX:-}" ]; then
  echo "needs root, unshare and WINEPREFIX"
  exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/lt-small-disk.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -al "$WINEPREFIX" "$work/prefix"
mkdir "$work/disk"

status=0
unshare -m bash -s "$work" "$size" "$@" <<'INNER' || status=$?
work=$1
size=$2
shift 2
mount -t tmpfs -o size="$size" tmpfs "$work/disk" || exit 77
export WINEPREFIX=$work/prefix SMALL_DISK=$work/disk
"$@"
status=$?
wineserver -k 2>/dev/null
umount "$work/disk"
exit $status
INNER
exit $status
