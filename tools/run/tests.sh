# The tests: what `./run test`, `./run test --quick` and `./run test NAME` run, and in what
# order. Sourced by ./run.
#
# The full run (what CI runs) has three lanes side by side, so that the stages that keep the
# processors busy (builds, clang-tidy, the emulated 32-bit programs) overlap with the Windows
# tests, which mostly wait on Wine. Each build makes first what a lane waits for, and a lane
# waits for another's step (announce, await) only where it needs it:
#   Windows   the 64-bit prefix and the desktops' copies of it; after the x64 build, the
#             Windows tests, LAUNCHER_DESKTOP_COUNT at a time, each on a desktop of its own,
#             and the same under the English locale (code page 1252)
#   builds    the whole x64 build; the x86 launcher; the x86 share's test program
#             (x86_tests); the native build and tests, formatting, layers, both clang-tidy
#             passes; the rest of the x86 build; the table of the tests (docs/testing.md);
#             the reproducibility rebuild
#   32-bit    the 32-bit prefix once the 64-bit one is made; the 32-bit share in it, on a
#             display of its own: launcher-x86.exe beside launcher.exe as soon as both are
#             built, then x86_tests as soon as it is built
# The critical path is the 32-bit lane's: its emulated program starts take minutes, so they
# begin as early as their inputs allow.
# The quick run: the native build and tests, formatting and layers, and the Windows tests
# that start no program but themselves (LABELS quick), on the 64-bit build's test programs of
# those tests alone.
# One test by its name: run_named below.

# A selection that holds no test fails.
run_ctest() { # build dir, extra ctest args...
  local dir=$1
  shift
  ctest --test-dir "$dir" --output-on-failure --no-tests=error "$@"
}
# The Windows tests of the 64-bit build on the desktops; the table notes which desktops they
# ran on.
run_windows_ctest() { # extra ctest args...
  local status=0
  desktop_env run_ctest "$BUILD_ROOT/windows-x64" -j "$LAUNCHER_DESKTOP_COUNT" "$@" || status=$?
  desktops_used | tee "$STAGE_NOTE" >&2
  return $status
}

prepare_wine() { ensure_prefix && make_desktop_prefixes; }

# The 32-bit share of the tests, in the prefix with the 32-bit system files (PREFIX32), on a
# display of its own (DISPLAY32), never on a desktop of the Windows tests. Every 32-bit
# program start is emulated (its cost: docs/32-bit.md), so it starts four: launcher-x86.exe
# three times, driven step for step beside launcher.exe by the 64-bit e2e_program32
# (tests/e2e/Program32Test.cpp), and x86_tests once (tests/CMakeLists.txt), the x86 build's
# tests that start no program of their own. Verbose, so the output lists each step and test
# case with its result.
run_32bit_ctest() { # build dir, extra ctest args...
  (
    unset LAUNCHER_DESKTOPS LAUNCHER_DESKTOP_COUNT
    export DISPLAY=$DISPLAY32 WINEPREFIX=$PREFIX32
    export LAUNCHER_X86_PROGRAM=$BUILD_ROOT/windows-x86/bin/launcher.exe
    run_ctest "$@" -V
  )
  local status=$?
  WINEPREFIX=$PREFIX32 wineserver -k >/dev/null 2>&1 || true
  printf 'prefix %s, display %s, no desktop\n' "${PREFIX32#"$ROOT"/}" "$DISPLAY32" >"$STAGE_NOTE"
  return $status
}
run_program32() {
  log "32-bit: launcher-x86.exe under the 32-bit Wine, step for step beside launcher.exe"
  run_32bit_ctest "$BUILD_ROOT/windows-x64" -L x86
}
run_x86_tests() {
  log "32-bit: x86_tests under the 32-bit Wine"
  run_32bit_ctest "$BUILD_ROOT/windows-x86" -L x86
}

# The desktops' displays and the 32-bit share's (DISPLAY32).
start_displays() {
  start_desktops && start_xvfb && DISPLAY32=$XVFB_DISPLAY
}

ensure_installs() { ensure_packages && ensure_wine32; }

lane_windows() {
  stage "Wine prefixes" prepare_wine
  announce prefixes $? || return 1
  await x64-built || return 1
  stage "Windows tests" run_windows_ctest -LE x86
  LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 stage "English-locale tests" run_windows_ctest -L english
}

lane_builds() {
  stage "build windows-x64" build_x64
  announce x64-built $?
  stage "build windows-x86, launcher" build_x86 launcher
  announce x86-launcher-built $?
  stage "build windows-x86, x86_tests" build_windows windows-x86 i686 x86_tests
  announce x86-tests-built $?
  stage "build native" build_native && stage "native tests" run_ctest "$BUILD_ROOT/native" -j "$(nproc)"
  stage "formatting" check_format
  stage "layers" check_layers
  stage "clang-tidy, portable core" tidy_core
  stage "clang-tidy, Windows sources" tidy_windows
  stage "build windows-x86, the rest" build_windows windows-x86 i686
  stage "test table" check_test_table
  stage "reproducible programs" check_reproducible
}

lane_32bit() {
  await prefixes && stage "Wine prefix, 32-bit" ensure_prefix32 || return 1
  await x64-built && await x86-launcher-built &&
    stage "32-bit share, launcher-x86.exe" run_program32
  await x86-tests-built && stage "32-bit share, x86_tests" run_x86_tests
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
  stage "displays" start_desktops || return
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

# One test, or a few, by name, as `./run test` runs them: the Windows tests of the 64-bit
# build on the desktops, the 32-bit share's (label x86, and any test of the x86 build) in
# the 32-bit prefix on a display of its own, the native ones as they are. A name matches
# that test alone; -R PATTERN takes ctest's pattern (a regular expression) as it is. Only the
# programs the chosen tests run are built.
#   ./run test [--x64|--x86|--native] [--english] NAME... [-R PATTERN]
test_named() {
  local tree=windows-x64 english=0 names=() patterns=() arg
  while [ $# -gt 0 ]; do
    arg=$1
    shift
    case $arg in
    --x64) tree=windows-x64 ;;
    --x86) tree=windows-x86 ;;
    --native) tree=native ;;
    --english) english=1 ;;
    -R)
      [ $# -gt 0 ] || { log "-R needs a pattern"; return 2; }
      patterns+=("$1")
      shift
      ;;
    -*)
      log "unknown argument $arg"
      return 2
      ;;
    *) names+=("$arg") ;;
    esac
  done
  [ ${#names[@]} -gt 0 ] || [ ${#patterns[@]} -gt 0 ] || { log "which test? (a name or -R PATTERN)"; return 2; }
  local pattern
  # One pattern: each name as itself alone, each pattern as given.
  pattern=$(python3 -c 'import re, sys
count = int(sys.argv[1])
names, patterns = sys.argv[2:2 + count], sys.argv[2 + count:]
print("|".join(["^" + re.escape(n) + "$" for n in names] + patterns))' \
    "${#names[@]}" "${names[@]}" "${patterns[@]}")
  local dir=$BUILD_ROOT/$tree what="${names[*]}${patterns[*]:+ ${patterns[*]}}"
  what=${what# }
  stage "installs" ensure_packages || return
  case $tree in
  native)
    stage "build native" build_native || return
    stage "native: $what" run_chosen "$dir" "$pattern"
    return
    ;;
  windows-x86) stage "build windows-x86" build_chosen "$tree" i686 "$pattern" || return ;;
  windows-x64) stage "build windows-x64" build_chosen "$tree" x86_64 "$pattern" || return ;;
  esac
  # The 32-bit share's tests, and every test of the x86 build, run as the 32-bit lane runs them.
  local share32=0
  [ "$tree" = windows-x86 ] || [ -n "$(chosen_tests "$dir" "$pattern" -L x86)" ] && share32=1
  if [ $share32 = 1 ]; then
    stage "32-bit Wine" ensure_wine32 || return
    [ "$tree" = windows-x86 ] ||
      stage "build windows-x86, launcher" build_x86 launcher || return
  fi
  stage "displays" start_displays || return
  stage "Wine prefixes" prepare_wine || return
  [ $share32 = 0 ] || stage "Wine prefix, 32-bit" ensure_prefix32 || return
  if [ "$tree" = windows-x86 ]; then
    stage "32-bit: $what" run_32bit_ctest "$dir" -R "$pattern"
    return
  fi
  [ -z "$(chosen_tests "$dir" "$pattern" -L x86)" ] ||
    stage "32-bit: $what" run_32bit_ctest "$dir" -R "$pattern" -L x86
  if [ $english = 1 ]; then
    # As the English-locale stage: the tests labelled english (none chosen fails).
    LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 stage "English locale: $what" \
      run_windows_ctest -R "$pattern" -L english
  elif [ -n "$(chosen_tests "$dir" "$pattern" -LE x86)" ]; then
    stage "Windows: $what" run_windows_ctest -R "$pattern" -LE x86
  fi
}

# The names of the tests of a configured build that match, one a line.
chosen_tests() { # build dir, pattern, extra ctest args...
  local dir=$1 pattern=$2
  shift 2
  ctest --test-dir "$dir" -N -R "$pattern" "$@" | sed -n 's/^ *Test *#[0-9]*: //p'
}
# Fails, naming every test of the build, when none matches.
require_chosen() { # build dir, pattern
  [ -n "$(chosen_tests "$1" "$2")" ] && return
  log "no test matches $2; the tests of $(basename "$1"):"
  chosen_tests "$1" . | sed 's/^/  /' >&2
  return 1
}
run_chosen() { # build dir, pattern
  require_chosen "$1" "$2" && run_ctest "$1" -R "$2"
}
# Builds what the chosen tests run: each test program they name, with what it depends on
# (the launcher, probes, the stand-in game); a test that names no program of the build (a
# script) gets the whole build.
build_chosen() { # tree, toolchain, pattern
  local dir=$BUILD_ROOT/$1 targets
  configure_windows "$1" "$2" && build_targets "$dir" build.ninja && require_chosen "$dir" "$3" ||
    return 1
  mapfile -t targets < <(ctest --test-dir "$dir" -R "$3" --show-only=json-v1 | python3 -c '
import json, os, sys
names = set()
for test in json.load(sys.stdin)["tests"]:
    programs = [a for a in test.get("command", []) if a.endswith(".exe")]
    if not programs:
        print("")  # a script: everything
        sys.exit(0)
    names.update(os.path.basename(p).removesuffix(".exe") for p in programs)
print("\n".join(sorted(names)))')
  [ "${targets[0]:-}" != "" ] || targets=()
  build_targets "$dir" "${targets[@]}"
}

cmd_test() { # [--quick | [--x64|--x86|--native] [--english] NAME... [-R PATTERN]]
  # A failed stage is counted, and the others still run.
  set +e
  stages_begin
  case "${1:-}" in
  --quick) test_quick ;;
  "") test_full ;;
  *) test_named "$@" || [ $? != 2 ] || return 2 ;;
  esac
  stop_desktops
  stages_end
}
