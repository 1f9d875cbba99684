# X displays for Wine, sourced by ./run and tools/demo.sh (bash).
#
#   start_xvfb       starts an Xvfb (1024x768, 24 bits) on a free display; its name (":N")
#                    in XVFB_DISPLAY
#   ensure_display   keeps a usable $DISPLAY; otherwise starts an Xvfb and exports DISPLAY
#   stop_display     ends the Wine server of the prefix (its desktop process holds the
#                    display) and every Xvfb started here, if any
#
# Xvfb reports the display it took on a descriptor (-displayfd), so no display number is
# guessed and nothing is waited for by the clock.

XVFB_PIDS=()
XVFB_DISPLAY=

start_xvfb() {
  local fifo number
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$fifo" >/dev/null 2>&1 &
  XVFB_PIDS+=($!)
  read -r number <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$number" ]; then
    printf '[display] Xvfb did not start\n' >&2
    return 1
  fi
  XVFB_DISPLAY=":$number"
}

ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
  start_xvfb || return 1
  export DISPLAY=$XVFB_DISPLAY
  printf '[display] Xvfb on %s\n' "$DISPLAY" >&2
}

stop_display() {
  [ ${#XVFB_PIDS[@]} -gt 0 ] || return 0
  wineserver -k >/dev/null 2>&1 || true
  kill "${XVFB_PIDS[@]}" 2>/dev/null || true
  XVFB_PIDS=()
}
