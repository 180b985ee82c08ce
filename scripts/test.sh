#!/usr/bin/env bash
# Builds and runs every test: the layer check of the includes, native unit
# tests under AddressSanitizer and UndefinedBehaviorSanitizer,
# a short run of each fuzz target, the Python tests of the tools and of the
# page server, then the Windows build with its packages, its end-to-end tests
# under Wine and the packages' tests.
# Ends with "N passed, M failed" and a non-zero status when anything failed.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)
logdir=$root/build/test-logs
mkdir -p "$logdir"

# The compiler cache, keyed on paths relative to the clone: a later clone of
# the same code on this machine builds from it in a fraction of the time.
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=true
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

passed=0
failed=0
note() { printf '\n=== %s\n' "$*"; }
fail_step() { echo "FAILED: $*"; failed=$((failed + 1)); }

bash scripts/setup.sh || { echo "setup failed"; echo "0 passed, 1 failed"; exit 1; }

note "layers"
if /usr/bin/python3 scripts/check_layers.py 2>&1 | tee "$logdir/layers.log"; then
  passed=$((passed + 1))
else
  fail_step "an include points up the layers"
fi

# One native build, under AddressSanitizer and UndefinedBehaviorSanitizer (any
# finding is fatal): the unit tests and the network fixtures the Python tests
# start. A plain build besides it would take minutes and find nothing more.
note "native build (AddressSanitizer, UndefinedBehaviorSanitizer)"
if cmake -S . -B build/asan -DVELTRANO_SANITIZE=ON "${launcher[@]}" >"$logdir/asan-configure.log" 2>&1 \
   && cmake --build build/asan -j"$jobs" >"$logdir/asan-build.log" 2>&1; then
  note "native unit tests"
  # One process for all tests: a sanitized process takes long to start and end.
  # The time limit stands in for ctest's: a hung test must not stall the run.
  UBSAN_OPTIONS=print_stacktrace=1 timeout 900 build/asan/unit_tests --gtest_brief=1 2>&1 \
    | tee "$logdir/asan-tests.log"
  asan_status=${PIPESTATUS[0]}
  asan_passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$logdir/asan-tests.log")
  asan_failed=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below.*/\1/p' "$logdir/asan-tests.log")
  if [ -n "$asan_passed" ]; then
    passed=$((passed + asan_passed))
    failed=$((failed + ${asan_failed:-0}))
    # Leaks are reported as the process ends, after the tests' summary.
    if [ "$asan_status" -ne 0 ] && [ "${asan_failed:-0}" -eq 0 ]; then
      fail_step "a sanitizer finding at exit (see $logdir/asan-tests.log)"
    fi
  else
    fail_step "the unit tests stopped early: a sanitizer or the time limit (see $logdir/asan-tests.log)"
  fi
else
  cat "$logdir/asan-configure.log" "$logdir/asan-build.log" 2>/dev/null | tail -n 60
  fail_step "native build"
fi
export VELTRANO_PAGE_FIXTURE=$root/build/asan/page_server_fixture
export VELTRANO_NUT_FIXTURE=$root/build/asan/nut_server_fixture

note "fuzz targets (5 s each)"
bash scripts/fuzz_long.sh 5 2>&1 | tee "$logdir/fuzz.log"
fuzz_passed=$(grep -c '^PASS ' "$logdir/fuzz.log")
fuzz_failed=$(grep -c '^FAIL ' "$logdir/fuzz.log")
if [ $((fuzz_passed + fuzz_failed)) -eq 0 ]; then
  fail_step "the fuzz targets did not report"
else
  passed=$((passed + fuzz_passed))
  failed=$((failed + fuzz_failed))
fi

# The tools' own tests, then the page server against real clients (it needs
# the native build's fixture).
for suite in tools tests/net; do
  compgen -G "$suite/test_*.py" >/dev/null || continue
  note "$suite tests (Python)"
  log="$logdir/python-${suite//\//-}.log"
  /usr/bin/python3 -m unittest discover -s "$suite" -p 'test_*.py' 2>&1 | tee "$log"
  ran=$(sed -n 's/^Ran \([0-9]\+\) tests\?.*/\1/p' "$log" | tail -n 1)
  bad=0
  if line=$(grep -E '^FAILED \(' "$log" | tail -n 1); then
    for n in $(grep -oE '(failures|errors)=[0-9]+' <<<"$line" | cut -d= -f2); do
      bad=$((bad + n))
    done
    [ "$bad" -gt 0 ] || bad=1
  fi
  if [ -z "$ran" ]; then
    fail_step "$suite tests did not run"
  else
    passed=$((passed + ran - bad))
    failed=$((failed + bad))
  fi
done

note "Windows build"
if cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake "${launcher[@]}" \
     >"$logdir/win-configure.log" 2>&1 \
   && cmake --build build/win -j"$jobs" >"$logdir/win-build.log" 2>&1; then
  # The end-to-end tests in two parts side by side, each in a prefix of its
  # own: they spend their time waiting for the simulator's timeline, so two
  # fit on two cores, and the run stays inside its 20 minutes. Then the
  # packages' tests (tests/install), in a prefix of their own too.
  note "end-to-end tests (Wine), two parts side by side"
  for part in 0 1; do
    rm -f "$logdir/e2e-$part.summary"
    /usr/bin/python3 tests/e2e/run.py --shard "$part/2" --build build/win \
      --summary "$logdir/e2e-$part.summary" >"$logdir/e2e-$part.log" 2>&1 &
  done
  wait
  cat "$logdir/e2e-0.log" "$logdir/e2e-1.log"
  note "install tests (Wine)"
  rm -f "$logdir/install.summary"
  /usr/bin/python3 tests/e2e/run.py --tests tests/install --build build/win \
    --summary "$logdir/install.summary" 2>&1 | tee "$logdir/install.log"
  for summary in e2e-0 e2e-1 install; do
    if read -r e2e_pass e2e_fail <"$logdir/$summary.summary" 2>/dev/null; then
      passed=$((passed + e2e_pass))
      failed=$((failed + e2e_fail))
    else
      fail_step "$summary tests did not report a result"
    fi
  done
else
  cat "$logdir/win-configure.log" "$logdir/win-build.log" 2>/dev/null | tail -n 60
  fail_step "Windows build"
fi

echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
