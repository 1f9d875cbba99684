#!/usr/bin/env bash
# Runs the DiskFull cases of the fault tests on a small file system of their own: a tmpfs in
# a private mount namespace. Wine there needs a server of its own, so it runs on a
# throwaway copy of the prefix (hard links).
#
#   disk_full_test.sh <wine> <fault_tests.exe>      exit 0 pass, 1 fail, 77 skipped
set -euo pipefail
wine=$1
tests=$2
if [ "$(id -u)" != 0 ] || ! command -v unshare >/dev/null || [ -z "${WINEPREFIX:-}" ]; then
  echo "needs root, unshare and WINEPREFIX"
  exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/lt-faults-full.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -al "$WINEPREFIX" "$work/prefix"
mkdir "$work/full"

unshare -m bash -s "$work" "$wine" "$tests" <<'INNER'
set -uo pipefail
work=$1
wine=$2
tests=$3
mount -t tmpfs -o size=8m tmpfs "$work/full" || exit 77
export WINEPREFIX=$work/prefix
export FAULTS_FULL_FOLDER="Z:$(tr / '\\' <<<"$work/full")"
"$wine" "$tests" --gtest_filter='DiskFull.*' --gtest_also_run_disabled_tests
status=$?
"${wine%/*}/wineserver" -k 2>/dev/null || wineserver -k 2>/dev/null
umount "$work/full"
exit $status
INNER
