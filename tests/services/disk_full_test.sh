#!/usr/bin/env bash
# A whole-file write that runs out of room part-way leaves the old file byte for byte and no
# temporary file; on a 256 KiB file system of its own (tests/support/small_disk.sh).
#
#   disk_full_test.sh <wine> <services_probe.exe>      exit 0 pass, 1 fail or could not run
set -uo pipefail
if [ "${1:-}" != --on-small-disk ]; then
  exec bash "$(dirname "$0")/../support/small_disk.sh" 256k bash "$0" --on-small-disk "$@"
fi
wine=$2
probe=$3
export WINEDEBUG=-all
target="Z:$(tr / '\\' <<<"$SMALL_DISK/config.ini")"
expected=$(mktemp)
trap 'rm -f "$expected"' EXIT
printf 'old line 1\r\nold line 2\r\n' >"$SMALL_DISK/config.ini"
cp "$SMALL_DISK/config.ini" "$expected"
failures=0
check() { # description, condition...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

"$wine" "$probe" write "$target" 1024
status=$?
check "a write of 1 MiB into 256 KiB reports failure (status $status)" test "$status" = 1
check "the old file is unchanged byte for byte" cmp -s "$expected" "$SMALL_DISK/config.ini"
check "no temporary file is left" test "$(ls -A "$SMALL_DISK")" = config.ini

"$wine" "$probe" write "$target" 64
status=$?
check "a write that fits succeeds afterwards (status $status)" test "$status" = 0
check "the new content is in place" test "$(stat -c %s "$SMALL_DISK/config.ini")" = 65536
check "no temporary file is left after success" test "$(ls -A "$SMALL_DISK")" = config.ini
exit $((failures > 0))
