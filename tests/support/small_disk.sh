#!/usr/bin/env bash
# Runs a command with a small file system of its own: a tmpfs of SIZE in a private mount
# namespace, at $SMALL_DISK. Wine there needs a server of its own, so the command runs on a
# throwaway copy of the prefix (hard links) in $WINEPREFIX; that server is ended after it.
#
#   small_disk.sh SIZE COMMAND [ARGUMENT...]   the command's exit status; 1 when the small
#                                              file system cannot be made (it needs root,
#                                              unshare, mount and WINEPREFIX): a test that
#                                              cannot run fails
set -euo pipefail
size=$1
shift
cannot_run() {
  echo "FAILED: the small file system cannot be made here: $*" >&2
  exit 1
}
[ "$(id -u)" = 0 ] || cannot_run "not root"
command -v unshare >/dev/null || cannot_run "no unshare"
[ -n "${WINEPREFIX:-}" ] || cannot_run "no WINEPREFIX"
work=$(mktemp -d "${TMPDIR:-/tmp}/lt-small-disk.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -al "$WINEPREFIX" "$work/prefix"
mkdir "$work/disk"

status=0
unshare -m bash -s "$work" "$size" "$@" <<'INNER' || status=$?
work=$1
size=$2
shift 2
if ! mount -t tmpfs -o size="$size" tmpfs "$work/disk"; then
  echo "FAILED: the small file system cannot be made here: mount failed" >&2
  exit 1
fi
export WINEPREFIX=$work/prefix SMALL_DISK=$work/disk
"$@"
status=$?
wineserver -k 2>/dev/null
umount "$work/disk"
exit $status
INNER
exit $status
