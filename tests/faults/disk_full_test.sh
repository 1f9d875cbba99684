#!/usr/bin/env bash
# Runs the DiskFull cases of the fault tests on an 8 MiB file system of their own
# (tests/support/small_disk.sh).
#
#   disk_full_test.sh <wine> <fault_tests.exe>      exit 0 pass, 1 fail or could not run
set -uo pipefail
if [ "${1:-}" != --on-small-disk ]; then
  exec bash "$(dirname "$0")/../support/small_disk.sh" 8m bash "$0" --on-small-disk "$@"
fi
wine=$2
tests=$3
output=$(mktemp)
trap 'rm -f "$output"' EXIT
FAULTS_FULL_FOLDER="Z:$(tr / '\\' <<<"$SMALL_DISK")" \
  "$wine" "$tests" --gtest_filter='DiskFull.*' | tee "$output"
status=${PIPESTATUS[0]}
# A filter that matches nothing passes in GoogleTest: the case must have run and passed.
grep -q '^\[       OK \] DiskFull\.FailedWritesLeaveTheOldFilesAndNoTemporaryFiles' "$output" ||
  { echo "FAILED: the full-disk case did not run to its end"; status=1; }
exit "$status"
