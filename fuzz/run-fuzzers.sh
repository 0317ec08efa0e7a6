#!/usr/bin/env bash
# Runs every fuzz target of a VANTOR_FUZZ build for a while, a few at a time.
#
#   fuzz/run-fuzzers.sh BUILD_DIR check SECONDS [TARGET...]
#       a fresh search from the committed corpus in a scratch copy; the tree
#       is left as it is (CI)
#   fuzz/run-fuzzers.sh BUILD_DIR campaign SECONDS [TARGET...]
#       a longer search that keeps its corpus in BUILD_DIR/fuzz/work and
#       merges what reaches new code into fuzz/corpus/<target>
#
# A crash, a leak, a time-out or a broken rule is kept in
# BUILD_DIR/fuzz/crashes/<target>/ and makes the run fail; it belongs in the
# target's corpus once fixed. Figures go to BUILD_DIR/fuzz/summary-<mode>.txt.
# JOBS targets run at once (default: the number of processors).
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."

build=${1:?build folder}
mode=${2:?check or campaign}
seconds=${3:?seconds per target}
shift 3
bin="$build/fuzz"
jobs=${JOBS:-$(nproc)}
if [ $# -gt 0 ]; then targets=("$@"); else mapfile -t targets < "$bin/targets.txt"; fi

dictionary() {
  case "$1" in
    feed_record | feed_processor | recorded_feed) echo fuzz/dict/feed.dict ;;
    drawing_file | map_lines) echo fuzz/dict/numbers.dict ;;
    *) [ -f "fuzz/dict/$1.dict" ] && echo "fuzz/dict/$1.dict" ;;
  esac
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

run_one() {
  local target=$1 corpus="fuzz/corpus/$1" work log dict crashes
  crashes="$build/fuzz/crashes/$target"
  mkdir -p "$crashes"
  if [ "$mode" = campaign ]; then
    work="$build/fuzz/work/$target"
  else
    work="$scratch/$target"
  fi
  mkdir -p "$work"
  log="$build/fuzz/$target.$mode.log"
  dict=$(dictionary "$target" || true)
  local started=$SECONDS status=0
  ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=print_stacktrace=1 QT_QPA_PLATFORM=offscreen \
    "$bin/fuzz_$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2560 -print_final_stats=1 \
    -artifact_prefix="$crashes/" ${dict:+-dict="$dict"} "$work" "$corpus" > "$log" 2>&1 || status=$?
  local took=$((SECONDS - started))
  if [ "$mode" = campaign ] && [ $status -eq 0 ]; then
    "$bin/fuzz_$target" -merge=1 "$corpus" "$work" >> "$log" 2>&1 || status=$?
  fi
  local done_line exec_rate units
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true)
  exec_rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  units=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  printf '%-16s %6ss %10s runs %8s exec/s  %s%s\n' "$target" "$took" "${units:-?}" "${exec_rate:-?}" \
    "$(grep -oE 'cov: [0-9]+ ft: [0-9]+' <<< "$done_line" || echo 'no DONE line')" \
    "$([ $status -eq 0 ] || echo "  FAILED (exit $status, see $log)")" > "$scratch/$target.summary"
  return $status
}

failed=0
pids=()
names=()
for target in "${targets[@]}"; do
  run_one "$target" &
  pids+=($!)
  names+=("$target")
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done

summary="$build/fuzz/summary-$mode.txt"
{
  echo "# $(date -u +%Y-%m-%dT%H:%MZ) $mode, $seconds s per target, $jobs at a time"
  for target in "${names[@]}"; do cat "$scratch/$target.summary"; done
} | tee "$summary"
if [ $failed -ne 0 ]; then
  echo "fuzzing found a failure: inputs in $build/fuzz/crashes/" >&2
  exit 1
fi
