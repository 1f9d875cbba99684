# Wine: the environment every Wine run gets, the private prefixes, the 32-bit set-up, and
# the desktops the Windows tests run on side by side. Sourced by ./run after BUILD_ROOT is
# set. The figures of the 32-bit runs (what a start costs, how long the prefix takes) are
# in docs/32-bit.md.

export WINEPREFIX=${LAUNCHER_WINEPREFIX:-$BUILD_ROOT/wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# 64-bit programs run through the 64-bit loader itself, and the programs they start too
# (WINELOADER): where the 32-bit Wine is also installed, the `wine` command would start the
# 32-bit loader first, which costs an emulated start for every program.
export LAUNCHER_WINE=${LAUNCHER_WINE:-/usr/lib/wine/wine64}
export WINELOADER=$LAUNCHER_WINE

# The 32-bit Wine, for running launcher-x86.exe and the 32-bit test programs. These machines
# cannot execute 32-bit Linux code themselves ("Exec format error"); qemu-user-static,
# registered for i386 programs through binfmt_misc (with the F flag, so the emulator is
# found inside any mount namespace), runs them, and with it wine32:i386 runs 32-bit Windows
# programs. Facts that matter:
# - QEMU_RESERVED_VA=0xf7000000 must be set for every 32-bit run, or the 32-bit loader fails
#   with "failed to map the shared user data" (0xc0000000 also works, 0x80000000 fails).
# - Each start of a 32-bit program is emulated and costs tens of seconds: run few of them.
# - Once wine32 is installed the `wine` command starts the 32-bit loader first, so 64-bit
#   programs go through /usr/lib/wine/wine64 (LAUNCHER_WINE above) everywhere; 32-bit ones
#   through /usr/lib/wine/wine (cmake/mingw-i686.cmake). Wine starts each program with the
#   loader of its kind: WINELOADER names the 64-bit one, and the 32-bit one is that name
#   without "64".
# - A prefix made before wine32 was installed lacks the 32-bit system files (a 32-bit
#   program then ends at once with 0xC0000135): ensure_prefix32 makes or updates it after.
export QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0xf7000000}
register_qemu_i386() {
  local misc=/proc/sys/fs/binfmt_misc
  [ -f "$misc/register" ] || mount -t binfmt_misc binfmt_misc "$misc"
  [ -f "$misc/qemu-i386" ] && return
  log "registering qemu-i386 for 32-bit programs"
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' >"$misc/register"
}

# A private Wine prefix, made once: never the user's default one.
make_prefix() { # folder
  local prefix=$1
  if [ ! -f "$prefix/.launcher-ready" ]; then
    log "creating Wine prefix $prefix"
    rm -rf "$prefix"
    mkdir -p "$prefix"
    WINEPREFIX=$prefix "$LAUNCHER_WINE" wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX=$prefix wineserver -w || true
    # Without a window manager Wine waits on every unmap unless its windows are unmanaged.
    WINEPREFIX=$prefix "$LAUNCHER_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ \
      /d N /f >/dev/null 2>&1
    WINEPREFIX=$prefix wineserver -w || true
    touch "$prefix/.launcher-ready"
  fi
  ensure_wine_fonts "$prefix"
}
ensure_prefix() { make_prefix "$WINEPREFIX"; }

# The prefix of the 32-bit runs, beside the 64-bit one: made after the 32-bit Wine is
# installed, it holds the 32-bit system files too (syswow64). Making a prefix then runs
# 32-bit programs, which takes minutes of emulation, so where the 64-bit prefix already has
# those files (it was made after the 32-bit Wine too) the 32-bit one is a copy of it
# (tools/scale_prefix.sh at the ordinary scale, made again when that prefix is newer).
PREFIX32=$BUILD_ROOT/wine32
ensure_prefix32() {
  if [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] &&
    { [ ! -f "$PREFIX32/.launcher-ready" ] || [ -f "$PREFIX32/.scale-ready" ]; }; then
    bash "$ROOT/tools/scale_prefix.sh" "$LAUNCHER_WINE" "$WINEPREFIX" "$PREFIX32" 96
    return
  fi
  make_prefix "$PREFIX32"
  # A prefix made before the 32-bit Wine was installed gets its 32-bit system files.
  if [ ! -f "$PREFIX32/drive_c/windows/syswow64/kernel32.dll" ]; then
    log "adding the 32-bit system files to $PREFIX32"
    WINEPREFIX=$PREFIX32 "$LAUNCHER_WINE" wineboot -u >/dev/null 2>&1 || true
    WINEPREFIX=$PREFIX32 wineserver -w || true
  fi
}

# Desktops: the Windows tests run side by side, each alone on a desktop of its own, a copy
# of the prepared prefix (its own Wine server: its own foreground window, keyboard focus,
# window and object names) with an Xvfb display of its own (its own X input for xdotool).
# cmake/wine_desktop.sh puts each test on the first free one, which it holds by a lock while
# the test runs; ctest runs as many tests at once as there are desktops. The desktops are
# given to the Windows tests' ctest alone (desktop_env): no other run, the 32-bit share's
# least, takes one.
#   LAUNCHER_DESKTOP_COUNT        how many desktops (default 3)
#   start_desktops                their displays (living as long as ./run)
#   make_desktop_prefixes         their prefixes: copies of the prepared one
#                                 (tools/scale_prefix.sh at the ordinary scale), made once
#                                 and again when the prepared prefix is newer
#   desktop_env COMMAND...        COMMAND with the desktops in its environment
#   desktops_used                 which desktops the tests ran on since desktop_env began
DESKTOP_ROOT=$BUILD_ROOT/desktops
LAUNCHER_DESKTOP_COUNT=${LAUNCHER_DESKTOP_COUNT:-3}
start_desktops() {
  local i
  mkdir -p "$DESKTOP_ROOT"
  for ((i = 0; i < LAUNCHER_DESKTOP_COUNT; i++)); do
    start_xvfb || return 1
    echo "$XVFB_DISPLAY" >"$DESKTOP_ROOT/$i.display"
  done
}
desktop_env() { # command...
  : >"$DESKTOP_ROOT/used"
  LAUNCHER_DESKTOPS=$DESKTOP_ROOT LAUNCHER_DESKTOP_COUNT=$LAUNCHER_DESKTOP_COUNT "$@"
}
# "desktops 0:14 1:13 2:12 (tests on each)", from the line each test's run wrote.
desktops_used() {
  printf 'desktops'
  sort -n "$DESKTOP_ROOT/used" | uniq -c | awk '{ printf " %s:%s", $2, $1 }'
  printf ' (tests on each)\n'
}
make_desktop_prefixes() {
  local i
  for ((i = 0; i < LAUNCHER_DESKTOP_COUNT; i++)); do
    bash "$ROOT/tools/scale_prefix.sh" "$LAUNCHER_WINE" "$WINEPREFIX" "$DESKTOP_ROOT/$i" 96 || return 1
  done
}
# Ends the Wine servers of the desktops (their displays end with stop_display).
stop_desktops() {
  local display
  for display in "$DESKTOP_ROOT"/*.display; do
    [ -f "$display" ] || continue
    WINEPREFIX=${display%.display} wineserver -k >/dev/null 2>&1 || true
    rm -f "$display"
  done
}
