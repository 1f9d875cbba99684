#!/usr/bin/env bash
# Benchmarks, one section after another; each prints its figures and its targets.
#
#   mission patch   native Google Benchmark: the rewrite of an 8 MB mission file against a
#                   plain copy of the same bytes (target: within 3x), the rewrite at 1 to
#                   32 MB against the copy at the same size (a steady ratio: linear), and
#                   the peak memory of the 8 MB runs (target: 4x the file + 32 MB).
#   whole apply     under Wine: the apply of 20 mission files of 8 MB each against copying
#                   those files (target: within 2.5x), and the apply's peak working set.
#   start-up        under Wine: process start to visible window, launcher.exe against a
#                   minimal window program of the same toolchain (ratio of medians, 30 runs
#                   each, alternating; target: within 1.25x), and against the same window
#                   written straight against Win32 (bench/startup/HandBuiltWindow.c: what
#                   this window costs without the launcher's frame); the size of
#                   dist/launcher.exe.
#   load            under Wine: 1,000 applies in a row on one game folder, driven from
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

heading() { printf '\n== %s\n' "$*"; }

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
  python3 - "$json" "$scaling" "$peak_kb" <<'PY'
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
  local ratio peak_mb
  ratio=$(python3 -c "import json;m={r['run_name']:r for r in json.load(open('$json'))['benchmarks'] if r.get('aggregate_name')=='median'};print(m['BM_MissionPatch/8388608']['cpu_time']/m['BM_PlainCopy/8388608']['cpu_time'])")
  peak_mb=$(python3 -c "print($peak_kb/1024)")
  within "8 MB mission patch / plain copy (cpu time)" "$ratio" 3
  within "peak memory of the 8 MB runs, MB" "$peak_mb" $((4 * 8 + 32))
}

bench_apply() {
  heading "whole apply (Wine): 20 mission files of 8 MB"
  local data=$BUILD_ROOT/bench-apply out=$RESULTS/apply.txt
  rm -rf "$data"
  mkdir -p "$data"
  (cd "$WINDOWS_BIN" && wine apply_bench.exe "$(winepath -w "$data")" 8 5) | tee "$out"
  rm -rf "$data"
  local value
  value() { awk -F= -v k="$1" '$1 == k {print $2}' "$out"; }
  within "apply / copying the files" "$(value apply_vs_copy)" 2.5
  within "apply / reading and writing back the same files" "$(value apply_vs_read_write_back)" 2.5
  within "peak working set of the apply, MB" "$(value peak_working_set_mb)" "$(value peak_limit_mb)"
}

bench_startup() {
  heading "start-up (Wine): process start to visible window"
  local out=$RESULTS/startup.txt
  (cd "$WINDOWS_BIN" && wine startup_bench.exe 30) | tee "$out"
  within "launcher / minimal window" "$(sed -n 's/^startup_ratio=//p' "$out")" 1.25 | tee -a "$out"
  local program=$ROOT/dist/launcher.exe
  [ -f "$program" ] || program=$WINDOWS_BIN/launcher.exe
  printf 'size of %s: %s bytes\n' "${program#"$ROOT"/}" "$(stat -c %s "$program")" | tee -a "$out"
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
  heading "load (Wine): 1,000 applies in a row on one game folder"
  local out=$RESULTS/load.txt
  wineserver -p 60 2>/dev/null || true  # one server for the whole run, lingering after it
  (cd "$WINDOWS_BIN" && LOAD_APPLIES=2 wine load_tests.exe >/dev/null)
  {
    server_figures "after 2 applies"
    (cd "$WINDOWS_BIN" && LOAD_APPLIES=1000 wine load_tests.exe) | grep -E '^(applies|program|driver|apply_ms)|OK|FAILED'
    server_figures "after 1,002 applies"
  } | tee "$out"
}

selected=("$@")
[ ${#selected[@]} -eq 0 ] && selected=("${SECTIONS[@]}")
for section in "${selected[@]}"; do
  "bench_$section"
done
