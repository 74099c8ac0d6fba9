#!/usr/bin/env bash
# Runs one fuzz target over its seed corpus for a number of seconds and fails
# on any finding:
#
#   bash scripts/fuzz.sh ini|edit|extract SECONDS [--keep]
#
# Inputs that add coverage go to a scratch corpus outside the repository
# ($FUZZ_SCRATCH/TARGET, by default under $TMPDIR), which later runs start
# from; --keep merges those that add coverage to the seeds into
# fuzz/corpus/TARGET. A finding is written to build/fuzz/findings/; add it to
# the seeds once it is fixed. The whole log is kept in build/fuzz/TARGET.log.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -lt 2 ] || [ ! -d "fuzz/corpus/${1}" ] || [ "${3:---keep}" != --keep ]; then
  echo "usage: bash scripts/fuzz.sh ini|edit|extract SECONDS [--keep]" >&2
  exit 2
fi
target=$1 seconds=$2 keep=${3:-}

bash scripts/install-deps.sh fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "fuzz_$target" >/dev/null
fuzzer=build/fuzz/fuzz/fuzz_$target
scratch=${FUZZ_SCRATCH:-${TMPDIR:-/tmp}/pravtools-fuzz}/$target
log=build/fuzz/$target.log
mkdir -p "$scratch" build/fuzz/findings

# -close_fd_mask=2 silences the programs' messages on standard error;
# libFuzzer and the sanitizers still report on a copy of it.
echo "fuzzing $target for $seconds seconds (log: $log)"
status=0
"$fuzzer" -max_total_time="$seconds" -timeout=10 -close_fd_mask=2 -print_final_stats=1 \
  -dict="fuzz/$target.dict" -artifact_prefix="build/fuzz/findings/$target-" \
  "$scratch" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?
if [ $status -ne 0 ]; then
  tail -n 60 "$log"
  echo "fuzz target $target found a fault (status $status)"
  exit 1
fi
grep -E '^#[0-9]+[[:space:]]+DONE|^stat::(number_of_executed_units|average_exec_per_sec)' "$log"
if [ "$keep" = --keep ]; then
  "$fuzzer" -merge=1 -close_fd_mask=2 "fuzz/corpus/$target" "$scratch" >>"$log" 2>&1
  echo "merged into fuzz/corpus/$target: $(ls "fuzz/corpus/$target" | wc -l) seeds"
fi
