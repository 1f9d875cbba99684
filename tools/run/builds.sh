# Builds: the three build trees under BUILD_ROOT, the benchmarks' tree, the two programs
# alone, and the check that the programs are reproducible. Sourced by ./run.
#
#   native        the portable core and its tests, clang, AddressSanitizer and UBSan
#   windows-x64   everything, MinGW-w64; dist/launcher.exe
#   windows-x86   everything, MinGW-w64; dist/launcher-x86.exe
# A build given targets builds only those (and what they need).

configure() { # name, extra cmake args...
  local name=$1
  shift
  local dir="$BUILD_ROOT/$name"
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >"$BUILD_ROOT/$name-configure.log" ||
      { cat "$BUILD_ROOT/$name-configure.log"; return 1; }
  fi
}

build_targets() { # build dir, target...
  local dir=$1
  shift
  if [ $# -gt 0 ]; then cmake --build "$dir" --target "$@"; else cmake --build "$dir"; fi
}

build_native() { # [target...]
  configure native -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DLAUNCHER_SANITIZE=ON && build_targets "$BUILD_ROOT/native" "$@"
}

configure_windows() { # name (windows-x64, windows-x86), toolchain (x86_64, i686)
  configure "$1" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$2.cmake"
}
build_windows() { # name, toolchain, [target...]
  local name=$1
  configure_windows "$name" "$2" || return 1
  shift 2
  build_targets "$BUILD_ROOT/$name" "$@"
}
# The Windows builds, whole or of the targets given among them the launcher, leave the
# programs in dist/.
build_x64() { # [target...]
  build_windows windows-x64 x86_64 "$@" || return 1
  mkdir -p "$ROOT/dist"
  cp "$BUILD_ROOT/windows-x64/bin/launcher.exe" "$ROOT/dist/launcher.exe"
}
build_x86() { # [target...]
  build_windows windows-x86 i686 "$@" || return 1
  mkdir -p "$ROOT/dist"
  cp "$BUILD_ROOT/windows-x86/bin/launcher.exe" "$ROOT/dist/launcher-x86.exe"
}
build_all() { build_native && build_x64 && build_x86; }

build_bench() {
  configure bench -DCMAKE_BUILD_TYPE=Release -DLAUNCHER_BENCH=ON && build_targets "$BUILD_ROOT/bench"
}

# The programs are reproducible: a copy of the tree in another folder, built at another
# time, gives byte-identical programs (no time stamps, no build folders in them). Only the
# two programs are built there.
check_reproducible() {
  local copy status=0
  copy=$(mktemp -d /tmp/launcher-rebuild.XXXXXX)
  tar -C "$ROOT" --exclude=./build --exclude='./build-*' --exclude=./dist --exclude=./.git -cf - . |
    tar -C "$copy" -xf - || status=1
  local name toolchain pair
  for pair in windows-x64:x86_64 windows-x86:i686; do
    name=${pair%%:*} toolchain=${pair#*:}
    cmake -S "$copy" -B "$copy/out/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$copy/cmake/mingw-$toolchain.cmake" >"$BUILD_ROOT/rebuild-$name.log" &&
      cmake --build "$copy/out/$name" --target launcher >>"$BUILD_ROOT/rebuild-$name.log" ||
      { cat "$BUILD_ROOT/rebuild-$name.log"; status=1; continue; }
    printf '[run] %s\n  %s  %s\n  %s  %s\n' "$name launcher.exe, built here and built again in $copy:" \
      "$(sha256sum <"$BUILD_ROOT/$name/bin/launcher.exe" | cut -d' ' -f1)" "$BUILD_ROOT/$name" \
      "$(sha256sum <"$copy/out/$name/bin/launcher.exe" | cut -d' ' -f1)" "$copy/out/$name" >&2
    cmp "$BUILD_ROOT/$name/bin/launcher.exe" "$copy/out/$name/bin/launcher.exe" ||
      { log "$name: the two builds differ"; status=1; }
  done
  rm -rf "$copy"
  return $status
}
