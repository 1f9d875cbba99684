#!/usr/bin/env bash
# The launcher driven with real X keystrokes and mouse clicks (xdotool) on the display in
# $DISPLAY, in a scratch game folder; checks the files it leaves, the stand-in game's
# record and the exit code.
#
#   xdotool_test.sh WINE BIN_DIR TEMPLATE_HEADER
#
# BIN_DIR holds launcher.exe, standin_game.exe and window_probe.exe, which tells where the
# window's controls are on the screen and when the launcher and what it started have ended;
# TEMPLATE_HEADER is the build's LauncherTemplate.h, which gives the window's size.
# WINEPREFIX and DISPLAY come from the environment.
#
# Every wait is for an event, bounded by the suite's one patience (tests/support/Patience.h,
# 120 seconds): a wait that is met ends at once.
set -uo pipefail

WINE=$1
BIN=$2
TEMPLATE=$3
TITLE='《VarnokII》功能设置'
FAILURES=0
SCRATCH=$(mktemp -d /tmp/launcher-xdotool.XXXXXX)
LAUNCHER_PID=
PATIENCE_TENTHS=1200

# Ends launcher processes of this prefix that a failed case left running (Wine may hand
# the Windows process to another Unix process than the one started here).
stop_leftovers() {
  local p
  [ -n "$LAUNCHER_PID" ] && kill -9 "$LAUNCHER_PID" 2>/dev/null
  LAUNCHER_PID=
  for p in $(pgrep -x launcher.exe); do
    if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      kill -9 "$p" 2>/dev/null
    fi
  done
}

cleanup() {
  stop_leftovers
  rm -rf "$SCRATCH"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  FAILURES=$((FAILURES + 1))
}

# GBK bytes of UTF-8 text with printf escapes (\r\n).
gbk() { printf "$1" | iconv -f UTF-8 -t GBK; }

mission() { gbk "// 任务 $1：山谷伏击\r\nint PlayerWeapon2 = 1; // 初始副武器\r\nint EnemyCount = 12;\r\n"; }
patched_mission() { gbk "// 任务 $1：山谷伏击\r\nint PlayerWeapon2 = $2;\r\nint EnemyCount = 12;\r\n"; }

# A fresh game folder: $SCRATCH/<name>.
make_game() {
  local game=$SCRATCH/$1
  mkdir -p "$game/Level"
  cp "$BIN/launcher.exe" "$game/launcher.exe"
  cp "$BIN/standin_game.exe" "$game/Drovar.exe"
  gbk '[Screen]\r\nWidth 640\r\nHeight 480\r\nBits 32\r\n' >"$game/config.ini"
  mission 01 >"$game/Level/sn01_.pst"
  mission 12 >"$game/Level/sn12_.pst"
  echo "$game"
}

# Starts the launcher in a game folder and waits for its window (X id in WINDOW).
start_launcher() {
  local game=$1
  (cd "$game" && exec "$WINE" launcher.exe) >/dev/null 2>&1 &
  LAUNCHER_PID=$!
  WINDOW=
  for _ in $(seq $PATIENCE_TENTHS); do
    WINDOW=$(xdotool search --onlyvisible --name "$TITLE" 2>/dev/null | head -n 1)
    [ -n "$WINDOW" ] && break
    sleep 0.1
  done
  [ -n "$WINDOW" ] || return 1
  # Keys go to the X focus, which the window takes right after it is shown; what is typed
  # after that reaches the window in order.
  for _ in $(seq $PATIENCE_TENTHS); do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$WINDOW" ] && return 0
    sleep 0.1
  done
  return 1
}

# Waits until a drop-down list of the window is open (on the screen as a window of its own)
# or closed again.
wait_list() { # open | closed
  local others
  for _ in $(seq $((PATIENCE_TENTHS * 2))); do
    others=$(xdotool search --onlyvisible --classname launcher.exe 2>/dev/null | grep -cvx "$WINDOW")
    [ "$1" = open ] && [ "$others" -gt 0 ] && return 0
    [ "$1" = closed ] && [ "$others" -eq 0 ] && return 0
    sleep 0.05
  done
  return 1
}

# Waits for the launcher to end (a loaded machine may take long); its exit status goes to
# STATUS.
wait_launcher() {
  for _ in $(seq $PATIENCE_TENTHS); do
    kill -0 "$LAUNCHER_PID" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$LAUNCHER_PID" 2>/dev/null; then
    STATUS="still running"
    stop_leftovers
    sleep 0.5
    return
  fi
  STATUS=0
  wait "$LAUNCHER_PID" || STATUS=$?
  LAUNCHER_PID=
}

expect_file() { # name, path, expected bytes (file)
  cmp -s "$2" "$3" || fail "$1: $(od -c "$2" 2>&1 | head -n 5)"
}

# A rectangle of the window template at 96 DPI ("left top width height"), by its symbol.
template_rect() {
  sed -n "s/.*TemplateRect $1 = {\([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)};.*/\1 \2 \3 \4/p" "$TEMPLATE"
}

# A click at the centre of a control of the launcher's window (its symbol: attributeList,
# startButton, ...) or on its close box (closeBox), where the window shows it now.
click_control() { # the control's symbol
  local x y
  read -r x y < <("$WINE" "$BIN/window_probe.exe" point "$1" 2>/dev/null | tr -d '\r')
  if [ -z "${x:-}" ] || [ -z "${y:-}" ]; then
    fail "no point on the screen for $1"
    return 1
  fi
  xdotool mousemove "$x" "$y" click 1
}

# The stand-in game's record once every start in it is written whole: as many "cwd=" lines
# as "cmdline=" ones, and a line break at the end.
wait_record() { # path
  for _ in $(seq $PATIENCE_TENTHS); do
    if [ -f "$1" ] && [ "$(tail -c 2 "$1" | od -An -tx1 | tr -d ' \n')" = 0d0a ] &&
      [ "$(grep -c '^cmdline=' "$1")" = "$(grep -c '^cwd=' "$1")" ]; then
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Starts window_probe watching the launcher now running: it ends once the launcher has
# ended and every program that the launcher started has ended too, which a started game
# does only after it has written its record. Its process id goes to WATCHER_PID.
watch_launcher_end() {
  local ready=$SCRATCH/watcher-ready
  rm -f "$ready"
  "$WINE" "$BIN/window_probe.exe" end "Z:$(tr / '\\' <<<"$ready")" >"$SCRATCH/watcher.log" 2>&1 &
  WATCHER_PID=$!
  for _ in $(seq $PATIENCE_TENTHS); do
    [ -s "$ready" ] && return 0
    kill -0 "$WATCHER_PID" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# ---------------------------------------------------------------- choices and the button
game=$(make_game apply)
if start_launcher "$game"; then
  eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
  read -r _ _ want_width want_height < <(template_rect window)
  [ "$WIDTH x $HEIGHT" = "$want_width x $want_height" ] || fail "X window size $WIDTH x $HEIGHT"
  want_x=$(((1024 - want_width) / 2))
  want_y=$(((768 - want_height) / 2))
  [ "$X,$Y" = "$want_x,$want_y" ] || fail "X window position $X,$Y (centred on 1024x768: $want_x,$want_y)"

  xdotool key End Up                     # 组合框1 has the focus: 忍刀, the last but one
  click_control attributeList           # open 组合框3 with the mouse
  wait_list open || fail "组合框3 did not open"
  xdotool key Home Down Down Return      # 防御属性（山）
  wait_list closed || fail "组合框3 did not close"
  xdotool key Tab Tab space              # 按钮1, then 选择框1: tick 窗口化
  xdotool key shift+Tab shift+Tab shift+Tab End # back to 组合框2: 1024*788
  click_control startButton              # 开始游戏
  wait_launcher
  [ "$STATUS" = 0 ] || fail "apply: exit status $STATUS"

  gbk '[我的设置]\r\n副武器选择=11\r\n副武器属性=2\r\n分辨率选择=1\r\n是否窗口化=真\r\n' >"$SCRATCH/want"
  expect_file "wdpz.ini" "$game/wdpz.ini" "$SCRATCH/want"
  gbk '[Screen]\r\nWidth 1024\r\nHeight 768\r\nBits 32\r\n' >"$SCRATCH/want"
  expect_file "config.ini" "$game/config.ini" "$SCRATCH/want"
  for n in 01 12; do
    patched_mission $n 57 >"$SCRATCH/want"
    expect_file "sn${n}_.pst" "$game/Level/sn${n}_.pst" "$SCRATCH/want"
  done
  wait_record "$game/launch-record.txt" || fail "no whole record of the game's start"
  folder=$(cd "$game" && "$WINE" winepath -w . 2>/dev/null | tr -d '\r' | sed 's/\\\.$//; s/\\$//')
  printf 'cmdline="%s\\Drovar.exe" w\r\ncwd=%s\r\n' "$folder" "$folder" >"$SCRATCH/want"
  expect_file "launch-record.txt" "$game/launch-record.txt" "$SCRATCH/want"
else
  fail "apply: no launcher window"
fi

# ---------------------------------------------------------------- closing changes nothing
for how in alt+F4 Escape closebox; do
  game=$(make_game "close-$how")
  (cd "$game" && find . -type f -exec md5sum {} + | sort) >"$SCRATCH/before"
  if start_launcher "$game"; then
    xdotool key End Tab End             # change two lists first
    # Wine's drop-down lists swallow every Alt key combination (a Windows list passes
    # Alt+F4 on), so the focus goes to 按钮1 first, as a user would find works.
    [ "$how" = alt+F4 ] && xdotool key Tab Tab
    watch_launcher_end || fail "$how: the launcher could not be watched"
    case $how in
    closebox) click_control closeBox ;;
    *) xdotool key "$how" ;;
    esac
    wait_launcher
    [ "$STATUS" = 0 ] || fail "$how: exit status $STATUS"
    # Once the watcher has ended, a game the launcher had started has left its record.
    wait "$WATCHER_PID" || fail "$how: the launcher or what it started did not end: $(cat "$SCRATCH/watcher.log")"
    (cd "$game" && find . -type f -exec md5sum {} + | sort) >"$SCRATCH/after"
    cmp -s "$SCRATCH/before" "$SCRATCH/after" || fail "$how changed files: $(diff "$SCRATCH/before" "$SCRATCH/after")"
  else
    fail "$how: no launcher window"
  fi
done

if [ $FAILURES -eq 0 ]; then
  echo "all xdotool cases passed"
  exit 0
fi
echo "$FAILURES failure(s)"
exit 1
