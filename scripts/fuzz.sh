#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) into
# build-fuzz and runs each for [seconds] (default 60), at most WB_FUZZ_JOBS (default 1) at a
# time. Corpora grow in build-fuzz/corpus/<target>, starting from the sample maker's files;
# a crashing input is kept in build-fuzz/crashes/<target>. Each line of the summary gives the
# runs per CPU-second (user + system time of the target). Exit status 1 when a target failed.
#   scripts/fuzz.sh [seconds] [target ...]
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-60}"
shift || true
jobs="${WB_FUZZ_JOBS:-1}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DWB_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)"
out=build-fuzz
scratch="${TMPDIR:-/tmp}"
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch=/dev/shm
samples="$(mktemp -d "$scratch/wb-samples.XXXXXX")"
trap 'rm -rf "$samples"' EXIT
"$out/bin/wb_make_samples" "$samples" >/dev/null
"$out/bin/wb_fuzz_seeds" "$samples" "$out/seeds" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for t in "$out"/fuzz/*_fuzz; do targets+=("$(basename "$t")"); done
fi

run_one() {
  local t="$1"
  mkdir -p "$out/corpus/$t" "$out/crashes/$t" "$out/seeds/$t"
  local log="$out/logs/$t.log"
  mkdir -p "$out/logs"
  local cpu="$out/logs/$t.cpu" TIMEFORMAT='%U %S'
  # A 32 MB quarantine (not 256) still holds many runs' freed blocks, while the default made
  # every run fault in fresh pages: most of a fast target's time.
  if { time TMPDIR="$scratch" ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:quarantine_size_mb=32 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
     "$out/fuzz/$t" -max_total_time="$secs" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
     -artifact_prefix="$out/crashes/$t/" "$out/corpus/$t" "$out/seeds/$t" >"$log" 2>&1; } 2>"$cpu"; then
    local execs rate
    execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    rate=$(awk -v n="$execs" '{ c = $1 + $2 } END { if (c > 0 && n + 0 > 0) printf "%.0f", n / c; else print "?" }' "$cpu")
    echo "$t: ok, $execs executions in ${secs}s, $rate runs per CPU-second, corpus $(ls "$out/corpus/$t" | wc -l)"
  else
    echo "$t: FAILED (log $log)"
    tail -n 40 "$log"
    return 1
  fi
}

failed=0
pids=()
for t in "${targets[@]}"; do
  run_one "$t" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for p in "${pids[@]}"; do wait "$p" || failed=1; done
exit $failed
