#!/usr/bin/env bash
# Runs the launcher on a copy of the bundled demo game folder (demo/game) under Wine.
#
#   tools/demo.sh                interactive on a usable $DISPLAY; otherwise automatic on Xvfb
#   tools/demo.sh --auto         automatic even when a display is there
#   tools/demo.sh --dpi 144 ...  at another display scale (LogPixels), in a Wine prefix of
#                                that scale (build/wine-dpi-144, see tools/scale_prefix.sh)
#
# Automatic: picks 忍刀, 速度属性（风）, the last resolution and 窗口化 with keys and clicks like a
# user, saves a screenshot of the window (docs/launcher-window.png, at another scale
# docs/launcher-window-<dpi>.png), presses 开始游戏 and prints what changed in the game's
# files and how the game was started. Then it starts the launcher again, picks 各关原版 and
# presses 开始游戏 once more: every mission file is back as it was before the first press.
# Expects ROOT and BUILD_ROOT (./run demo exports them after building the Windows program
# and making the Wine prefix).
set -euo pipefail

ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
BUILD_ROOT=${BUILD_ROOT:-$ROOT/build}
BIN=$BUILD_ROOT/windows-x64/bin
RUN_DIR=$BUILD_ROOT/demo-run
BEFORE=$BUILD_ROOT/demo-before
SHOT=$ROOT/docs/launcher-window.png
TITLE='《VarnokII》功能设置'
export WINEPREFIX=${WINEPREFIX:-$BUILD_ROOT/wine}
export WINEDEBUG=${WINEDEBUG:--all}
# The 64-bit loader itself, as ./run sets it.
export LAUNCHER_WINE=${LAUNCHER_WINE:-/usr/lib/wine/wine64}
export WINELOADER=${WINELOADER:-$LAUNCHER_WINE}

say() { printf '[demo] %s\n' "$*" >&2; }

auto=0
DPI=96
while [ $# -gt 0 ]; do
  case $1 in
  --auto) auto=1 ;;
  --dpi)
    DPI=${2:?--dpi needs a value such as 144}
    shift
    ;;
  *)
    say "unknown argument $1"
    exit 2
    ;;
  esac
  shift
done
OWN_PREFIX=0
if [ "$DPI" != 96 ]; then
  bash "$ROOT/tools/scale_prefix.sh" "$LAUNCHER_WINE" "$WINEPREFIX" "$BUILD_ROOT/wine-dpi-$DPI" "$DPI"
  export WINEPREFIX=$BUILD_ROOT/wine-dpi-$DPI
  SHOT=$ROOT/docs/launcher-window-$DPI.png
  OWN_PREFIX=1
  say "display scale: LogPixels $DPI"
fi
# A length of the window template at this scale.
scaled() { echo $((($1 * DPI + 48) / 96)); }

for program in launcher.exe standin_game.exe; do
  [ -f "$BIN/$program" ] || { say "missing $BIN/$program (build first: ./run build)"; exit 1; }
done

# A fresh copy of the demo game: the launcher beside the stand-in game as Drovar.exe.
rm -rf "$RUN_DIR" "$BEFORE"
mkdir -p "$RUN_DIR"
cp -r "$ROOT/demo/game/." "$RUN_DIR/"
cp "$BIN/standin_game.exe" "$RUN_DIR/Drovar.exe"
cp "$BIN/launcher.exe" "$RUN_DIR/launcher.exe"
cp -r "$RUN_DIR" "$BEFORE"

if [ $auto -eq 0 ] && { [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; }; then auto=1; fi

. "$ROOT/tools/display.sh"
LAUNCHER_PID=
finish() {
  [ -n "$LAUNCHER_PID" ] && kill "$LAUNCHER_PID" 2>/dev/null
  # The prefix's own wineserver ends with the demo, and with it Wine's desktop process,
  # which holds a display started here.
  [ $OWN_PREFIX -eq 1 ] && { wineserver -k >/dev/null 2>&1 || true; }
  stop_display
}
trap finish EXIT

# The window's client area lies under the caption, inside a fixed single border; the
# points are given at the template's scale.
click_client() { # x, y in the client area
  xdotool mousemove --window "$WINDOW" $(($(scaled "$1") + 3)) $(($(scaled "$2") + $(scaled 19) + 3)) click 1
}

if [ $auto -eq 1 ]; then
  ensure_display
fi

# Starts the launcher; in the automatic demo, waits for its window (in WINDOW) to have the
# focus.
start_launcher() {
  (cd "$RUN_DIR" && exec "$LAUNCHER_WINE" launcher.exe) &
  LAUNCHER_PID=$!
  [ $auto -eq 1 ] || return 0
  WINDOW=
  for _ in $(seq 300); do
    WINDOW=$(xdotool search --onlyvisible --name "$TITLE" 2>/dev/null | head -n 1) || true
    [ -n "$WINDOW" ] && break
    sleep 0.1
  done
  [ -n "$WINDOW" ] || { say "the launcher window did not appear"; exit 1; }
  for _ in $(seq 50); do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$WINDOW" ] && break
    sleep 0.1
  done
  sleep 0.3
}

# Presses 开始游戏 and waits for the launcher to end.
press_start() {
  click_client 104 152
  for _ in $(seq 100); do
    kill -0 "$LAUNCHER_PID" 2>/dev/null || break
    sleep 0.1
  done
  status=0
  wait "$LAUNCHER_PID" || status=$?
  LAUNCHER_PID=
  say "launcher exit status: $status"
}

say "game folder: $RUN_DIR"
start_launcher

if [ $auto -eq 0 ]; then
  say "make your choices and press 开始游戏 (or close the window to change nothing)"
  wait "$LAUNCHER_PID" || true
  LAUNCHER_PID=
else
  # The last resolution, which End picks, as the window's description gives it.
  last_resolution=$(python3 -c 'import json, sys
units = json.load(open(sys.argv[1], encoding="utf-8"))["windows"][0]["units"]
print([u for u in units if u["symbol"] == "resolutionList"][0]["block"]["entries"][-1][0])' \
    "$ROOT/resources/LauncherWindow.json")
  say "choosing 忍刀, 速度属性（风）, $last_resolution and 窗口化"
  xdotool key End Up              # 副武器选择 has the focus: the last but one entry, 忍刀
  sleep 0.2
  xdotool key Tab End             # 分辨率选择: the last resolution
  sleep 0.2
  click_client 144 50             # open 副武器属性 with the mouse ...
  sleep 0.4
  xdotool key End Return          # ... and take 速度属性（风）
  sleep 0.2
  click_client 80 119             # tick 窗口化
  sleep 0.5
  mkdir -p "$(dirname "$SHOT")"
  eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$SHOT"
  say "screenshot: $SHOT"
  say "pressing 开始游戏"
  press_start
fi

# What changed, shown as UTF-8 text (the files themselves are GBK).
for _ in $(seq 30); do [ -f "$RUN_DIR/launch-record.txt" ] && break; sleep 0.1; done
changed=0
while IFS= read -r name; do
  case $name in launcher.exe | Drovar.exe | launch-record.txt) continue ;; esac
  old=$BEFORE/$name
  new=$RUN_DIR/$name
  if [ ! -f "$old" ]; then
    echo "=== new file: $name"
    iconv -f GBK -t UTF-8 "$new" | sed 's/\r$//'
    changed=1
  elif ! cmp -s "$old" "$new"; then
    echo "=== changed: $name"
    diff -u --label "before/$name" --label "after/$name" \
      <(iconv -f GBK -t UTF-8 "$old" | sed 's/\r$//') \
      <(iconv -f GBK -t UTF-8 "$new" | sed 's/\r$//') || true
    changed=1
  fi
done < <(cd "$RUN_DIR" && find . -type f | sed 's|^\./||' | sort)
[ $changed -eq 1 ] || echo "=== no file changed"
if [ -f "$RUN_DIR/launch-record.txt" ]; then
  echo "=== the game was started (launch-record.txt):"
  sed 's/\r$//' "$RUN_DIR/launch-record.txt"
else
  echo "=== the game was not started"
fi

# The way back: 各关原版 writes each mission's recorded original line back.
if [ $auto -eq 1 ]; then
  rm -f "$RUN_DIR/launch-record.txt"
  start_launcher
  say "choosing 各关原版 and pressing 开始游戏 again"
  xdotool key End                 # the last entry of 副武器选择: 各关原版
  sleep 0.2
  press_start
  echo "=== after 各关原版, each mission file compared with the one before the first press:"
  for old in "$BEFORE"/Level/*; do
    name=Level/$(basename "$old")
    if cmp -s "$old" "$RUN_DIR/$name"; then
      echo "$name: byte for byte as before"
    else
      echo "$name: DIFFERENT"
    fi
  done
fi
