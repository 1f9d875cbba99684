#!/usr/bin/env bash
# Benchmarks, one section after another; each prints its figures and its targets.
#
#   mission patch   native Google Benchmark: the rewrite of an 8 MB mission file against a
#                   plain copy of the same bytes (target: within 3x), the rewrite at 1 to
#                   32 MB against the copy at the same size (a steady ratio: linear), and
#                   the peak memory of the 8 MB runs (target: 4x the file + 32 MB).
#   whole apply     under Wine, the real program driven from outside: a press of the start
#                   button to the start of the game with 20 mission files of 8 MB less the
#                   same press without mission files, against CopyFile and FlushFileBuffers
#                   of the same 21 files in the same run (target: within 1.1x); the press to
#                   the program's end is shown for information; the same at 1 and 32 MB
#                   (a steady ratio: the apply is linear), the program's peak working set
#                   over the apply (target: 32 MB), and a second press with the same choices
#                   against the first with the bytes it wrote (target: none).
#   start-up        under Wine: process start to visible window, launcher.exe against the
#                   same window written straight against Win32 (bench/startup/
#                   HandBuiltWindow.c; ratio of medians, 50 runs each, alternating; target:
#                   within 1.05x), and against a minimal window program of the same
#                   toolchain (for information); the sizes of dist/launcher.exe and
#                   dist/launcher-x86.exe (target: no larger than they were, SIZE_LIMIT_*),
#                   with a table of what costs the bytes: sections, and the code and data
#                   summed by class or namespace.
#   load            under Wine: 500 applies in a row on one game folder, driven from
#                   outside; the files after each equal those after the first, and neither
#                   the programs' memory nor the Wine server's open files and memory grow.
#
#   tools/bench.sh [SECTION...]   (ROOT and BUILD_ROOT from ./run bench, which builds the
#                                  native bench tree and the Windows x64 tree first)
# Sections: patch apply startup load. A new section is a function bench_<name> added to SECTIONS.
set -euo pipefail

ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
BUILD_ROOT=${BUILD_ROOT:-$ROOT/build}
NATIVE_BIN=${NATIVE_BIN:-$BUILD_ROOT/bench/bin}
WINDOWS_BIN=${WINDOWS_BIN:-$BUILD_ROOT/windows-x64/bin}
RESULTS=$BUILD_ROOT/bench-results
mkdir -p "$RESULTS"

SECTIONS=(patch apply startup load)
# The programs' sizes may not grow past these (KB).
SIZE_LIMIT_X64_KB=276
SIZE_LIMIT_X86_KB=300

heading() { printf '\n== %s\n' "$*"; }

# figure FILE KEY: the value of a "KEY=value" line that a section printed into FILE.
figure() { sed -n "s/^$2=//p" "$1"; }

# within LABEL VALUE LIMIT: prints the comparison of a figure with its target.
within() {
  python3 - "$@" <<'PY'
import sys
label, value, limit = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
verdict = "within target" if value <= limit else "OVER TARGET"
print(f"{label}: {value:.2f} (target <= {limit:g}) {verdict}")
PY
}

bench_patch() {
  heading "mission patch (native, Google Benchmark)"
  local json=$RESULTS/patch.json scaling=$RESULTS/patch-scaling.json time_log=$RESULTS/patch-time.txt
  /usr/bin/time -v -o "$time_log" "$NATIVE_BIN/launcher_bench" \
    --benchmark_filter='^BM_(MissionPatch|PlainCopy|DisplayPatch)/' --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_out="$json" --benchmark_out_format=json
  "$NATIVE_BIN/launcher_bench" --benchmark_filter='Scaling' \
    --benchmark_out="$scaling" --benchmark_out_format=json >/dev/null
  local peak_kb
  peak_kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$time_log")
  local figures=$RESULTS/patch.txt
  python3 - "$json" "$scaling" "$peak_kb" <<'PY' | tee "$figures"
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
median = {r["run_name"]: r for r in runs if r.get("aggregate_name") == "median"}
patch, copy = median["BM_MissionPatch/8388608"], median["BM_PlainCopy/8388608"]
print(f"8 MB patch {patch['cpu_time']:.2f} ms cpu ({patch['real_time']:.2f} ms real), "
      f"copy {copy['cpu_time']:.2f} ms cpu ({copy['real_time']:.2f} ms real)")
print(f"patch_vs_copy_cpu={patch['cpu_time'] / copy['cpu_time']:.2f}")
print(f"patch_vs_copy_real={patch['real_time'] / copy['real_time']:.2f}")
scaling = [r for r in json.load(open(sys.argv[2]))["benchmarks"] if r.get("run_type") == "iteration"]
pairs = {}
for r in scaling:
    kind, size = r["name"].split("/")
    pairs.setdefault(int(size), {})[kind] = r["cpu_time"]
for size in sorted(pairs):
    p = pairs[size]
    if "BM_MissionPatchScaling" in p and "BM_PlainCopyScaling" in p:
        print(f"  {size >> 20:2d} MB: patch {p['BM_MissionPatchScaling']:7.2f} ms, "
              f"copy {p['BM_PlainCopyScaling']:7.2f} ms, "
              f"ratio {p['BM_MissionPatchScaling'] / p['BM_PlainCopyScaling']:.2f}")
print(f"peak_rss_mb={int(sys.argv[3]) / 1024:.1f}")
PY
  within "8 MB mission patch / plain copy (cpu time)" "$(figure "$figures" patch_vs_copy_cpu)" 3
  within "peak memory of the 8 MB runs, MB" "$(figure "$figures" peak_rss_mb)" $((4 * 8 + 32))
}

bench_apply() {
  heading "whole apply (Wine, the real program driven from outside): 20 mission files"
  local data=$BUILD_ROOT/bench-apply out=$RESULTS/apply.txt
  rm -rf "$data"
  mkdir -p "$data"
  (cd "$WINDOWS_BIN" && "$LAUNCHER_WINE" apply_bench.exe "$("$LAUNCHER_WINE" winepath -w "$data")" 7) | tee "$out"
  rm -rf "$data"
  local value
  value() { awk -F= -v k="$1" '$1 == k {print $2}' "$out"; }
  within "apply / durable copy, 8 MB files" "$(value apply_vs_durable_copy_8)" 1.1
  within "apply / durable copy, 1 MB files" "$(value apply_vs_durable_copy_1)" 1.1
  within "apply / durable copy, 32 MB files" "$(value apply_vs_durable_copy_32)" 1.1
  within "peak working set of the program over the apply of 8 MB files, MB" \
    "$(value peak_working_set_mb)" 32
  printf 'second press with the same choices / first press: %s\n' "$(value second_vs_first)"
  within "second press with the same choices / durable copy, 8 MB files" \
    "$(value second_vs_durable_copy_8)" 0.5
  within "bytes the second press wrote" "$(value second_press_bytes_written)" 0
}

bench_startup() {
  heading "start-up (Wine): process start to visible window"
  local out=$RESULTS/startup.txt
  (cd "$WINDOWS_BIN" && "$LAUNCHER_WINE" startup_bench.exe 50) | tee "$out"
  within "launcher / hand-built window" "$(sed -n 's/^launcher_vs_handbuilt=//p' "$out")" 1.05 |
    tee -a "$out"
  printf 'launcher / minimal window (for information): %s\n' \
    "$(sed -n 's/^startup_ratio=//p' "$out")" | tee -a "$out"
  local program limit unstripped tools
  for program in "$ROOT/dist/launcher.exe" "$ROOT/dist/launcher-x86.exe"; do
    case $program in
    *-x86.exe) limit=$SIZE_LIMIT_X86_KB unstripped=$BUILD_ROOT/windows-x86/unstripped/launcher.exe tools=i686-w64-mingw32 ;;
    *) limit=$SIZE_LIMIT_X64_KB unstripped=$BUILD_ROOT/windows-x64/unstripped/launcher.exe tools=x86_64-w64-mingw32 ;;
    esac
    if [ -f "$program" ]; then
      within "size of ${program#"$ROOT"/}, KB" "$(($(stat -c %s "$program") / 1024))" "$limit" |
        tee -a "$out"
      [ -f "$unstripped" ] && size_table "$program" "$unstripped" "$tools" | tee -a "$out"
    else
      printf '%s: not built\n' "${program#"$ROOT"/}" | tee -a "$out"
    fi
  done
}

# What costs the bytes of a program: its sections as stripped, and the code and data of the
# program as linked, summed by the class or namespace their names begin with (the largest).
size_table() { # stripped program, the same as linked, tool prefix
  "$3-objdump" -h "$1" | python3 -c '
import sys
for line in sys.stdin:
    parts = line.split()
    if len(parts) > 2 and parts[1].startswith("."):
        print(f"  section {parts[1]:8} {int(parts[2], 16) / 1024:7.1f} KB")
'
  "$3-nm" -S -C --size-sort "$2" | python3 -c '
import collections, re, sys
groups = collections.Counter()
for line in sys.stdin:
    parts = line.split(None, 3)
    if len(parts) < 4:
        continue
    name = re.sub(r"<.*", "", parts[3].strip())
    name = re.sub(r"\(.*", "", name)
    head = name.split("::")[0] if "::" in name else "(C and runtime functions, data)"
    groups[head] += int(parts[1], 16)
for head, size in groups.most_common(12):
    print(f"  {head[:40]:40} {size / 1024:7.1f} KB")
'
}

# The Wine server of this prefix: its open files (every open handle of a file, a process or
# a window object of any client is one of them or an entry in its memory) and its memory.
server_figures() { # label
  local pid
  for pid in $(pgrep -x wineserver64) $(pgrep -x wineserver); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      printf '%s: wineserver open files %s, resident memory %s kB\n' "$1" \
        "$(ls "/proc/$pid/fd" | wc -l)" "$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")"
      return
    fi
  done
  printf '%s: wineserver not found\n' "$1"
}

bench_load() {
  heading "load (Wine): 500 applies in a row on one game folder"
  local out=$RESULTS/load.txt
  wineserver -p 60 2>/dev/null || true  # one server for the whole run, lingering after it
  (cd "$WINDOWS_BIN" && LOAD_APPLIES=2 "$LAUNCHER_WINE" load_tests.exe >/dev/null)
  {
    server_figures "after 2 applies"
    # The whole output stays in load-run.txt; a failure is shown with what it says.
    (cd "$WINDOWS_BIN" && LOAD_APPLIES=500 "$LAUNCHER_WINE" load_tests.exe) | tee "$RESULTS/load-run.txt" |
      grep -E -A3 '^(applies|program|driver|apply_ms)|OK|FAILED|Failure' | grep -v '^--$'
    server_figures "after 502 applies"
  } | tee "$out"
}

selected=("$@")
[ ${#selected[@]} -eq 0 ] && selected=("${SECTIONS[@]}")
for section in "${selected[@]}"; do
  "bench_$section"
done
