#!/usr/bin/env bash
# Runs one Windows test (a program under Wine, or a script that starts Wine) on a desktop of
# its own: the Wine prefix and X display of the desktop ctest gave it (the resource
# `desktop`, handed out by `ctest --resource-spec-file`, which ./run writes with the
# desktops in LAUNCHER_DESKTOPS, tools/run/wine.sh). A test given no desktop runs in
# $WINEPREFIX on $DISPLAY, one such test at a time: they share that prefix's foreground
# window and keyboard focus.
#
#   wine_desktop.sh COMMAND [ARGUMENT...]      the command's exit status
set -uo pipefail

if [ -n "${CTEST_RESOURCE_GROUP_0_DESKTOP:-}" ] && [ -n "${LAUNCHER_DESKTOPS:-}" ]; then
  # "id:N,slots:1"
  id=${CTEST_RESOURCE_GROUP_0_DESKTOP#id:}
  id=${id%%,*}
  export WINEPREFIX=$LAUNCHER_DESKTOPS/$id
  DISPLAY=$(cat "$LAUNCHER_DESKTOPS/$id.display") || exit 1
  export DISPLAY
  exec "$@"
fi

if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
  # The lock is held here, not by the command: a Wine server it starts outlives it.
  exec 9>>"$WINEPREFIX/.test-lock"
  flock 9
  "$@" 9>&-
  exit $?
fi
exec "$@"
