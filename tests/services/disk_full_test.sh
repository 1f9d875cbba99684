#!/usr/bin/env bash
# A whole-file write that runs out of room part-way leaves the old file byte for byte and no
# temporary file. The folder is a 256 KiB tmpfs in a private mount namespace; Wine there
# needs a server of its own, so it runs on a throwaway copy of the prefix (hard links).
#
#   disk_full_test.sh <services_probe.exe>      exit 0 pass, 1 fail, 77 skipped
set -euo pipefail
probe=$1
if [ "$(id -u)" != 0 ] || ! command -v unshare >/dev/null || [ -z "${WINEPREFIX:-}" ]; then
  echo "needs root, unshare and WINEPREFIX"
  exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/lt-full.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -al "$WINEPREFIX" "$work/prefix"
mkdir "$work/full"

unshare -m bash -s "$work" "$probe" <<'INNER'
set -uo pipefail
work=$1
probe=$2
mount -t tmpfs -o size=256k tmpfs "$work/full" || exit 77
export WINEPREFIX=$work/prefix WINEDEBUG=-all
target="Z:$(tr / '\\' <<<"$work/full/config.ini")"
printf 'old line 1\r\nold line 2\r\n' >"$work/full/config.ini"
cp "$work/full/config.ini" "$work/expected.ini"
failures=0
check() { # description, condition...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

wine "$probe" write "$target" 1024
status=$?
check "a write of 1 MiB into 256 KiB reports failure (status $status)" test "$status" = 1
check "the old file is unchanged byte for byte" cmp -s "$work/expected.ini" "$work/full/config.ini"
check "no temporary file is left" test "$(ls -A "$work/full")" = config.ini

wine "$probe" write "$target" 64
status=$?
check "a write that fits succeeds afterwards (status $status)" test "$status" = 0
check "the new content is in place" test "$(stat -c %s "$work/full/config.ini")" = 65536
check "no temporary file is left after success" test "$(ls -A "$work/full")" = config.ini

wineserver -k 2>/dev/null
umount "$work/full"
exit $((failures > 0))
INNER
