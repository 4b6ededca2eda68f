#!/usr/bin/env bash
# Installs what is missing, builds the three targets (and a sanitizer build of
# the native one) and runs every test: a minute of fuzzing, the native tests
# under AddressSanitizer and UBSan, then the native unit and tool tests and the
# end-to-end runs of both DLLs under wine, and finally the main job.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tools/lib.sh"
"$here/tools/setup.sh"
"$here/tools/build.sh" native i686
# The 32-bit end-to-end run is one long chain of qemu-i386 processes, the
# longest single test: it starts as soon as what it runs is built and goes on
# beside the other builds and tests (its own wine prefix and X server, its own
# work folder), unless ctest was given arguments.
win32_log="$here/build/e2e-win32.log"
win32_pid=
stop_win32() {  # on any exit: the background run and what it started end with the script
  local status=$? pid
  [ -n "$win32_pid" ] || return $status
  for pid in $(descendants "$win32_pid") "$win32_pid"; do kill "$pid" 2>/dev/null || true; done
  WINEPREFIX=$(wine32_prefix) /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
  return $status
}
descendants() { local child; for child in $(pgrep -P "$1"); do descendants "$child"; echo "$child"; done; }
trap stop_win32 EXIT
if [ $# = 0 ]; then
  step "the 32-bit end-to-end run, in the background (its output in build/e2e-win32.log)"
  (cd "$here/build/native" && ctest --output-on-failure -R '^e2e\.win32$' >"$win32_log" 2>&1) &
  win32_pid=$!
fi
"$here/tools/build.sh" x86_64 sanitize
"$here/tools/fuzz.sh"
step "running the native tests under AddressSanitizer and UBSan"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions="$here/tests/lsan.supp" \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$here/build/sanitize" --output-on-failure -j "${TESSARO_JOBS:-$(nproc)}" -L unit
step "running the unit tests once more in one process, in a random order"
# ctest runs each test in a process of its own; here they share one, shuffled,
# so a test that leans on another's state fails (TESSARO_SHUFFLE_SEED repeats an order).
seed=${TESSARO_SHUFFLE_SEED:-$(( RANDOM % 99999 + 1 ))}
if ! "$here/build/native/tessaro_tests" --gtest_shuffle --gtest_random_seed="$seed" --gtest_brief=1 \
     >"$here/build/shuffled-tests.log" 2>&1; then
  grep -E "FAILED|Failure" "$here/build/shuffled-tests.log" | head -n 40 >&2
  echo "the unit tests failed in the order of seed $seed (build/shuffled-tests.log)" >&2
  exit 1
fi
echo "seed $seed: $(grep -E "PASSED" "$here/build/shuffled-tests.log")"
step "running the tests"
if [ -z "$win32_pid" ]; then
  (cd "$here/build/native" && ctest --output-on-failure -j "${TESSARO_JOBS:-$(nproc)}" "$@")
else
  (cd "$here/build/native" && ctest --output-on-failure -j "${TESSARO_JOBS:-$(nproc)}" -E '^e2e\.(win32|same-results)$')
  step "waiting for the 32-bit end-to-end run"
  win32_status=0
  wait "$win32_pid" || win32_status=$?
  win32_pid=
  cat "$win32_log"
  [ $win32_status = 0 ] || { echo "the 32-bit end-to-end run failed" >&2; exit 1; }
  (cd "$here/build/native" && ctest --output-on-failure -R '^e2e\.same-results$')
fi
# The README's main job, last: it shares the 64-bit wine prefix with the tests above.
step "running the main job (its output in build/main-job.log)"
if ! "$here/tools/main-job.sh" >"$here/build/main-job.log" 2>&1; then
  tail -n 40 "$here/build/main-job.log"
  echo "the main job failed" >&2
  exit 1
fi
grep -E "equal the command-line check|Report written" "$here/build/main-job.log"
