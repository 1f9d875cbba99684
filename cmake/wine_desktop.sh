#!/usr/bin/env bash
# Runs one Windows test (a program under Wine, or a script that starts Wine) on a desktop of
# its own: the first free one of the LAUNCHER_DESKTOP_COUNT desktops in LAUNCHER_DESKTOPS
# (a Wine prefix and an X display each, tools/run/wine.sh), held by a lock for as long as the
# test runs. ctest runs as many tests at once as there are desktops, so one is always free.
# Each run adds the number of its desktop as a line to LAUNCHER_DESKTOPS/used.
# A test given no desktops runs in $WINEPREFIX on $DISPLAY, one such test at a time: they
# share that prefix's foreground window and keyboard focus.
#
#   wine_desktop.sh COMMAND [ARGUMENT...]      the command's exit status
set -uo pipefail

if [ -n "${LAUNCHER_DESKTOPS:-}" ] && [ -n "${LAUNCHER_DESKTOP_COUNT:-}" ]; then
  # The first free desktop; with every one busy (a test of another ctest), the first one.
  id=
  for ((i = 0; i < LAUNCHER_DESKTOP_COUNT; i++)); do
    exec 9>>"$LAUNCHER_DESKTOPS/$i.lock"
    if flock -n 9; then id=$i && break; fi
    exec 9>&-
  done
  if [ -z "$id" ]; then
    id=0
    exec 9>>"$LAUNCHER_DESKTOPS/0.lock"
    flock 9
  fi
  echo "$id" >>"$LAUNCHER_DESKTOPS/used"
  export WINEPREFIX=$LAUNCHER_DESKTOPS/$id
  DISPLAY=$(cat "$LAUNCHER_DESKTOPS/$id.display") || exit 1
  export DISPLAY
  "$@" 9>&-
  exit $?
fi

if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
  # The lock is held here, not by the command: a Wine server it starts outlives it.
  exec 9>>"$WINEPREFIX/.test-lock"
  flock 9
  "$@" 9>&-
  exit $?
fi
exec "$@"
