#!/usr/bin/env bash
# Runs the DiskFull cases of the fault tests on an 8 MiB file system of their own
# (tests/support/small_disk.sh).
#
#   disk_full_test.sh <wine> <fault_tests.exe>      exit 0 pass, 1 fail, 77 skipped
set -uo pipefail
if [ "${1:-}" != --on-small-disk ]; then
  exec bash "$(dirname "$0")/../support/small_disk.sh" 8m bash "$0" --on-small-disk "$@"
fi
wine=$2
tests=$3
FAULTS_FULL_FOLDER="Z:$(tr / '\\' <<<"$SMALL_DISK")" \
  "$wine" "$tests" --gtest_filter='DiskFull.*' --gtest_also_run_disabled_tests
