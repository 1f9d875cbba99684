#!/usr/bin/env bash
# Runs every fuzz target of the native build for SECONDS each, one after the other, at the
# lowest priority. Each target grows its own corpus under $BUILD_ROOT/fuzz/<target>/corpus,
# seeded from fuzz/corpus/<target>/ (the repository is only read); findings go to
# $BUILD_ROOT/fuzz/<target>/artifacts. Prints libFuzzer's final figures per target.
#
#   tools/fuzz.sh [SECONDS] [TARGET...]     (ROOT and BUILD_ROOT from ./run fuzz)
set -euo pipefail

ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
BUILD_ROOT=${BUILD_ROOT:-$ROOT/build}
SECONDS_EACH=${1:-60}
shift || true
BIN=$BUILD_ROOT/native/bin

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for program in "$BIN"/fuzz_*; do
    [ -x "$program" ] && targets+=("$(basename "$program")")
  done
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets in $BIN" >&2
  exit 1
fi

status=0
summary=()
for target in "${targets[@]}"; do
  work=$BUILD_ROOT/fuzz/$target
  mkdir -p "$work/corpus" "$work/artifacts"
  cp -n "$ROOT/fuzz/corpus/$target/"* "$work/corpus/" 2>/dev/null || true
  log=$work/last-run.log
  echo "== $target: ${SECONDS_EACH}s" >&2
  if nice -n 19 "$BIN/$target" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus" >"$log" 2>&1; then
    result=ok
  else
    result="FINDING (see $log and $work/artifacts)"
    status=1
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  cov=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1)
  units=$(grep -Eo 'corp: [0-9]+/[0-9]+[a-zA-Z]*' "$log" | tail -1)
  summary+=("$(printf '%-22s %-8s executions %-12s per second %-7s %s %s' \
    "$target" "$result" "${execs:-?}" "${rate:-?}" "${cov:-}" "${units:-}")")
done

echo
printf '%s\n' "${summary[@]}"
exit $status
