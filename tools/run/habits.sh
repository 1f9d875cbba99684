# The habits the tree keeps: formatting as .clang-format says, layers that point one way, and
# clang-tidy's chosen checks (.clang-tidy) finding nothing in the program's sources: the
# portable core as the native build compiles it, the rest as the x86_64 build does. Each
# check is a function of its own, so ./run times each. Sourced by ./run.

# clang-tidy runs JOBS files at a time (default: one per processor).
TIDY_JOBS=${TIDY_JOBS:-$(nproc)}

check_format() {
  local files
  mapfile -t files < <(cd "$ROOT" && { git ls-files '*.c' '*.cpp' '*.h' 2>/dev/null ||
    find app bench frame fuzz launcher services tests -name '*.c' -o -name '*.cpp' -o -name '*.h'; })
  (cd "$ROOT" && clang-format --dry-run --Werror "${files[@]}")
}

check_layers() { python3 "$ROOT/tools/include_graph.py" "$ROOT"; }

# Every ctest name of the three builds has its row in docs/testing.md.
check_test_table() {
  python3 "$ROOT/tools/check_test_table.py" "$ROOT" "$BUILD_ROOT/native" "$BUILD_ROOT/windows-x64" \
    "$BUILD_ROOT/windows-x86"
}

# clang-tidy over the files given on standard input, one a line, TIDY_JOBS at a time.
tidy_files() { # clang-tidy argument...
  xargs -r -P "$TIDY_JOBS" -n 1 clang-tidy --quiet "$@" 2>/dev/null
}

tidy_core() {
  python3 "$ROOT/tools/tidy_sources.py" "$ROOT" "$BUILD_ROOT/native/compile_commands.json" |
    tidy_files -p "$BUILD_ROOT/native"
}

tidy_windows() {
  # The MinGW target and its C++ headers, which clang does not find by itself.
  local gcc_dir dir args=(--extra-arg=--target=x86_64-w64-mingw32)
  gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
  for dir in include/c++ include/c++/x86_64-w64-mingw32 include/c++/backward; do
    args+=("--extra-arg=-isystem$gcc_dir/$dir")
  done
  python3 "$ROOT/tools/tidy_sources.py" "$ROOT" "$BUILD_ROOT/windows-x64/compile_commands.json" \
    --except "$BUILD_ROOT/native/compile_commands.json" |
    tidy_files -p "$BUILD_ROOT/windows-x64" "${args[@]}" \
      --header-filter='/(services|frame|launcher|app)/[^/]+\.h$'
}
