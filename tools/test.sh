#!/usr/bin/env bash
# Installs what is missing, builds the three targets (and a sanitizer build of
# the native one) and runs every test: a minute of fuzzing, the native tests
# under AddressSanitizer and UBSan, then the native unit and tool tests and the
# end-to-end runs of both DLLs under wine.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tools/lib.sh"
"$here/tools/setup.sh"
"$here/tools/build.sh" native i686 x86_64 sanitize
"$here/tools/fuzz.sh"
step "running the native tests under AddressSanitizer and UBSan"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions="$here/tests/lsan.supp" \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$here/build/sanitize" --output-on-failure -j "${TESSARO_JOBS:-$(nproc)}" -L unit
step "running the tests"
cd "$here/build/native"
ctest --output-on-failure -j "${TESSARO_JOBS:-$(nproc)}" "$@"
