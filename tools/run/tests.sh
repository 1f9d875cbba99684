# The tests: what `./run test` and `./run test --quick` run, and in what order. Sourced by
# ./run.
#
# The full run (what CI runs) has three lanes side by side, so that the stages that keep the
# processors busy (builds, clang-tidy, the emulated 32-bit programs) overlap with the Windows
# tests, which mostly wait on Wine; a lane waits for another's step where it needs it:
#   Windows   the Wine prefixes (the 64-bit one, the 32-bit one, the desktops); after the x64
#             build, the Windows tests, DESKTOPS at a time, each on a desktop of its own, and
#             the same under the English locale (code page 1252)
#   builds    the x64, x86 and native builds, the native tests, formatting, layers, both
#             clang-tidy passes and the reproducibility rebuild
#   32-bit    after the x86 build and the prefixes, the 32-bit share (its own prefix and
#             display)
# The quick run: the native build and tests, formatting and layers, and the Windows tests
# that start no program but themselves (LABELS quick), on the 64-bit build's test programs of
# those tests alone.

# How many Windows tests run at once, each on a desktop of its own.
DESKTOPS=${LAUNCHER_DESKTOPS_COUNT:-3}

run_ctest() { # build dir, extra ctest args...
  local dir=$1
  shift
  ctest --test-dir "$dir" --output-on-failure "$@"
}
# The Windows tests of the 64-bit build on the desktops.
run_windows_ctest() { # extra ctest args...
  run_ctest "$BUILD_ROOT/windows-x64" -j "$DESKTOPS" "$@"
}

prepare_wine() { # [32] for the 32-bit prefix too
  ensure_prefix && make_desktop_prefixes "$DESKTOPS" && { [ "${1:-}" != 32 ] || ensure_prefix32; }
}

# The 32-bit share of the tests, in the prefix with the 32-bit system files, on a display of
# its own (DISPLAY32). Every 32-bit program start is emulated (its cost: README, "The 32-bit
# program under test"), so it starts four: launcher-x86.exe three times, driven step for step
# beside launcher.exe by the 64-bit e2e_program32 (tests/e2e/Program32Test.cpp), and
# x86_tests once (tests/CMakeLists.txt), the x86 build's tests that start no program of their
# own. Verbose, so the output lists each step and test case with its result.
run_32bit() {
  local status=0
  log "32-bit: launcher-x86.exe under the 32-bit Wine, step for step beside launcher.exe"
  DISPLAY=$DISPLAY32 WINEPREFIX=$PREFIX32 LAUNCHER_X86_PROGRAM=$BUILD_ROOT/windows-x86/bin/launcher.exe \
    run_ctest "$BUILD_ROOT/windows-x64" -L x86 -V || status=1
  log "32-bit: x86_tests under the 32-bit Wine"
  DISPLAY=$DISPLAY32 WINEPREFIX=$PREFIX32 run_ctest "$BUILD_ROOT/windows-x86" -L x86 -V || status=1
  WINEPREFIX=$PREFIX32 wineserver -k >/dev/null 2>&1 || true
  return $status
}

# The desktops' displays and the 32-bit share's (DISPLAY32).
start_displays() {
  start_desktops "$DESKTOPS" && start_xvfb && DISPLAY32=$XVFB_DISPLAY
}

ensure_installs() { ensure_packages && ensure_wine32; }

lane_windows() {
  stage "Wine prefixes" prepare_wine 32
  mark prefixes $? || return 1
  await x64-built
  stage "Windows tests" run_windows_ctest -LE x86
  LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 stage "English-locale tests" run_windows_ctest -L english
}

lane_builds() {
  stage "build windows-x64" build_x64
  mark x64-built $?
  stage "build windows-x86" build_x86
  mark x86-built $?
  stage "build native" build_native && stage "native tests" run_ctest "$BUILD_ROOT/native" -j "$(nproc)"
  stage "formatting" check_format
  stage "layers" check_layers
  stage "clang-tidy, portable core" tidy_core
  stage "clang-tidy, Windows sources" tidy_windows
  stage "reproducible programs" check_reproducible
}

lane_32bit() {
  await x86-built
  await prefixes && stage "32-bit share" run_32bit
}

test_full() {
  stage "installs" ensure_installs || return
  stage "displays" start_displays || return
  lane lane_windows
  lane lane_builds
  lane lane_32bit
  wait_lanes
}

# The Windows test programs labelled quick, by their names in the build.
quick_targets() {
  ctest --test-dir "$BUILD_ROOT/windows-x64" -L quick --show-only=json-v1 |
    python3 -c 'import json, os, sys
for test in json.load(sys.stdin)["tests"]:
    print(os.path.basename(test["command"][-1]).removesuffix(".exe"))' | sort -u
}
build_quick() {
  local targets
  # build.ninja first: a changed CMakeLists.txt changes the tests ctest lists.
  configure_windows windows-x64 x86_64 && build_targets "$BUILD_ROOT/windows-x64" build.ninja &&
    mapfile -t targets < <(quick_targets) &&
    build_targets "$BUILD_ROOT/windows-x64" "${targets[@]}"
}

test_quick() {
  stage "installs" ensure_packages || return
  stage "displays" start_desktops "$DESKTOPS" || return
  lane stage "build native" build_native
  lane stage "build windows-x64, quick tests" build_quick
  wait_lanes
  lane lane_quick_windows
  lane lane_quick_habits
  wait_lanes
}
lane_quick_windows() {
  stage "Wine prefixes" prepare_wine &&
    stage "Windows tests, quick" run_windows_ctest -L quick
}
lane_quick_habits() {
  stage "native tests" run_ctest "$BUILD_ROOT/native" -j "$(nproc)"
  stage "formatting" check_format
  stage "layers" check_layers
}

cmd_test() { # [--quick]
  # A failed stage is counted, and the others still run.
  set +e
  stages_begin
  case "${1:-}" in
  --quick) test_quick ;;
  "") test_full ;;
  *)
    log "unknown argument $1"
    return 2
    ;;
  esac
  stop_desktops
  stages_end
}
