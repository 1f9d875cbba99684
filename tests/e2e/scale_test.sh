#!/usr/bin/env bash
# The scale tests at one display scale, in a Wine prefix of that scale under PREFIX_ROOT
# (tools/scale_prefix.sh makes it from the prepared prefix in $WINEPREFIX). The prefix's
# wineserver is ended when the tests end.
#
#   scale_test.sh WINE BIN_DIR DPI PREFIX_ROOT
set -euo pipefail

WINE=$1
BIN=$2
DPI=$3
PREFIX=$4/dpi-$DPI
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WINESERVER=$(dirname "$(command -v "$WINE")")/wineserver
[ -x "$WINESERVER" ] || WINESERVER=wineserver

bash "$HERE/../../tools/scale_prefix.sh" "$WINE" "${WINEPREFIX:?the prepared Wine prefix}" \
  "$PREFIX" "$DPI"
export WINEPREFIX=$PREFIX LAUNCHER_TEST_DPI=$DPI
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT
"$WINE" "$BIN/e2e_scale.exe"
