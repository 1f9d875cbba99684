# Stages: each step of ./run test is a stage, timed, its result kept, and shown in a table at
# the end. Stages run one after another, or side by side in lanes (subshells started with
# `lane`), whose output is kept in a file per stage and shown whole when the stage ends.
# Sourced by ./run.
#
#   stages_begin             starts the clock and an empty table
#   stage NAME COMMAND...    runs COMMAND as the stage NAME; its status. COMMAND may write one
#                            line into the file $STAGE_NOTE, which the table shows beside it
#   lane COMMAND...          runs COMMAND (stages) in the background; `wait_lanes` waits
#   announce NAME STATUS     one lane tells the others that a step is done, with its status
#   await NAME               waits for that announcement; the step's status
#   stages_end               the table on standard output, then "N passed, N failed" as the last line; non-zero
#                            if a stage failed

STAGE_DIR=$BUILD_ROOT/stages
STAGE_BUFFERED=0
LANE_PIDS=()

stages_begin() {
  rm -rf "$STAGE_DIR"
  mkdir -p "$STAGE_DIR"
  : >"$STAGE_DIR/table"
  RUN_BEGIN=$EPOCHREALTIME
}

# Seconds since a time of EPOCHREALTIME, to a tenth.
elapsed() { # since [until]
  local now=${2:-$EPOCHREALTIME}
  awk -v a="$1" -v b="$now" 'BEGIN { printf "%.1f", b - a }'
}

stage() { # name, command...
  local name=$1
  shift
  local begin=$EPOCHREALTIME status=0 log result slug note=
  slug=$(tr -c 'A-Za-z0-9\n' '-' <<<"$name")
  # Seen by COMMAND (a function of ./run, or a program it starts).
  local -x STAGE_NOTE=$STAGE_DIR/$slug.note
  rm -f "$STAGE_NOTE"
  if [ "$STAGE_BUFFERED" = 1 ]; then
    log=$STAGE_DIR/$slug.log
    "$@" >"$log" 2>&1 || status=$?
  else
    printf '\n== %s\n' "$name" >&2
    "$@" || status=$?
  fi
  [ -f "$STAGE_NOTE" ] && note=$(head -n 1 "$STAGE_NOTE")
  local seconds
  seconds=$(elapsed "$begin")
  if [ $status -eq 0 ]; then result=passed; else result=FAILED; fi
  printf '%s\t%s\t%s\t%s\t%s\n' "$(elapsed "$RUN_BEGIN" "$begin")" "$seconds" "$result" "$name" \
    "$note" >>"$STAGE_DIR/table"
  if [ "$STAGE_BUFFERED" = 1 ]; then
    # One stage's output at a time.
    {
      flock 7
      printf '\n== %s (from %s s)\n' "$name" "$(elapsed "$RUN_BEGIN" "$begin")"
      cat "$log"
      printf '== %s: %s in %s s\n' "$name" "$result" "$seconds"
    } 7>>"$STAGE_DIR/print.lock" >&2
  else
    printf '== %s: %s in %s s\n' "$name" "$result" "$seconds" >&2
  fi
  return $status
}

lane() { # command...
  (
    STAGE_BUFFERED=1
    "$@"
  ) &
  LANE_PIDS+=($!)
}
wait_lanes() {
  local pid
  for pid in "${LANE_PIDS[@]}"; do wait "$pid" || true; done
  LANE_PIDS=()
}

announce() { # name, status
  echo "$2" >"$STAGE_DIR/$1.tmp" && mv "$STAGE_DIR/$1.tmp" "$STAGE_DIR/$1.done"
  return "$2"
}
# Waits for another lane's announcement, looking once a second.
await() { # name
  until [ -e "$STAGE_DIR/$1.done" ]; do sleep 1; done
  return "$(cat "$STAGE_DIR/$1.done")"
}

stages_end() {
  local passed failed total
  passed=$(awk -F'\t' '$3 == "passed"' "$STAGE_DIR/table" | wc -l)
  failed=$(awk -F'\t' '$3 == "FAILED"' "$STAGE_DIR/table" | wc -l)
  total=$(elapsed "$RUN_BEGIN")
  {
    printf '\n%-34s %8s %8s  %-6s  %s\n' stage from seconds result note
    sort -t$'\t' -k1,1g "$STAGE_DIR/table" |
      awk -F'\t' '{ printf "%-34s %8s %8s  %-6s  %s\n", $4, $1, $2, $3, $5 }'
    printf '%-34s %8s %8s\n' "the whole run (wall clock)" 0.0 "$total"
  }
  printf '%s passed, %s failed\n' "$passed" "$failed"
  [ "$failed" -eq 0 ]
}
