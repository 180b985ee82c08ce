#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ (clang, build/fuzz) and runs each for
# SECONDS (default 480), two at a time. New inputs are kept in
# build/fuzz/corpus/TARGET and feed the next run; a crashing input is saved as
# build/fuzz/crashes/TARGET-crash-*. Prints one line per target,
# "PASS TARGET: N runs in S s" or "FAIL TARGET: ...", and exits non-zero when
# any target crashed or did not build. scripts/test.sh runs it with 5.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-480}
out=build/fuzz
logdir=$out/logs
mkdir -p "$logdir" "$out/crashes"

if ! { cmake -S . -B "$out" -DVELTRANO_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ >"$logdir/configure.log" 2>&1 \
       && cmake --build "$out" -j2 --target fuzzers >"$logdir/build.log" 2>&1; }; then
  cat "$logdir/configure.log" "$logdir/build.log" 2>/dev/null | tail -n 40
  echo "FAIL build: see $logdir/build.log"
  exit 1
fi

run_one() {
  local target=$1 seeds=fuzz/seeds/$1
  mkdir -p "$out/corpus/$target"
  [ -d "$seeds" ] || seeds=
  # An input that takes seconds is a hang worth keeping, even on a busy machine.
  "$out/fuzz/$target" -max_total_time="$seconds" -timeout=5 -print_final_stats=1 \
    -artifact_prefix="$out/crashes/$target-" "$out/corpus/$target" $seeds \
    >"$logdir/$target.log" 2>&1
  echo $? >"$logdir/$target.rc"
}

report() {
  local target=$1 runs secs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$logdir/$target.log" | tail -n 1)
  secs=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$logdir/$target.log" | tail -n 1)
  if [ "$(cat "$logdir/$target.rc")" = 0 ]; then
    echo "PASS $target: ${runs:-?} runs in ${secs:-?} s"
  else
    echo "FAIL $target: crashed after ${runs:-?} runs, see $logdir/$target.log"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|check failed|artifact_prefix|Test unit written)' "$logdir/$target.log" | head -n 8
  fi
}

targets=()
for source in fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
# The machine's two cores are shared: never more than two runs at once.
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  for target in "${targets[@]:i:2}"; do run_one "$target" & done
  wait
done

status=0
for target in "${targets[@]}"; do
  report "$target"
  [ "$(cat "$logdir/$target.rc")" = 0 ] || status=1
done
exit $status
