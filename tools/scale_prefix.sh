#!/usr/bin/env bash
# Makes a Wine prefix for one display scale: a copy of a prepared prefix with LogPixels set.
# Wine takes the scale from LogPixels for the whole prefix, so each scale needs a prefix of
# its own. The prefix's programs and libraries are only read and are linked, not copied;
# every other file, the registry first, is copied, so nothing written in the copy reaches
# the prepared prefix. The copy is made once and made again when the prepared prefix is
# newer. Its wineserver has ended when this script returns.
#
#   tools/scale_prefix.sh WINE SOURCE_PREFIX DEST_PREFIX DPI
set -euo pipefail

WINE=$1
SOURCE=$2
DEST=$3
DPI=$4
WINESERVER=$(dirname "$(command -v "$WINE")")/wineserver
[ -x "$WINESERVER" ] || WINESERVER=wineserver

if [ -f "$DEST/.scale-ready" ] && ! [ "$SOURCE/.launcher-ready" -nt "$DEST/.scale-ready" ]; then
  exit 0
fi
[ -f "$SOURCE/.launcher-ready" ] || { echo "no prepared prefix in $SOURCE" >&2; exit 1; }

staging=$DEST.staging
rm -rf "$staging" "$DEST"
# Everything linked first (one command for the thousands of files), then every file that is
# not one of the programs and libraries gets a copy of its own in place of its link.
mkdir -p "$(dirname "$staging")"
cp -al "$SOURCE" "$staging"
own=()
while IFS= read -r -d '' f; do
  case "${f,,}" in
  drive_c/windows/*.dll | drive_c/windows/*.exe | drive_c/windows/*.sys | \
    drive_c/windows/*.drv | drive_c/windows/*.nls | drive_c/windows/*.ocx | \
    drive_c/windows/*.cpl | drive_c/windows/*.acm | drive_c/windows/*.tlb) ;;
  *) own+=("$f") ;;
  esac
done < <(cd "$SOURCE" && find . -mindepth 1 -type f -printf '%P\0')
[ ${#own[@]} -eq 0 ] || (cd "$SOURCE" && cp -a --parents --remove-destination "${own[@]}" "$staging/")
rm -f "$staging/.scale-ready"
for key in 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
  'HKCU\Control Panel\Desktop'; do
  WINEPREFIX=$staging "$WINE" reg add "$key" /v LogPixels /t REG_DWORD /d "$DPI" /f >/dev/null 2>&1
done
# The registry reaches its files when the prefix's wineserver ends.
WINEPREFIX=$staging "$WINESERVER" -w
grep -qi "\"LogPixels\"=dword:0*$(printf '%x' "$DPI")\$" "$staging/system.reg" ||
  { echo "LogPixels $DPI did not reach the copy of the prefix" >&2; exit 1; }
touch "$staging/.scale-ready"
mv "$staging" "$DEST"
