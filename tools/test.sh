#!/usr/bin/env bash
# Installs what is missing, builds the three targets and runs every test:
# the native unit tests and the end-to-end runs of both DLLs under wine.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tools/lib.sh"
"$here/tools/setup.sh"
"$here/tools/build.sh"
"$here/tools/fuzz.sh"
step "running the tests"
cd "$here/build/native"
ctest --output-on-failure -j "${TESSARO_JOBS:-$(nproc)}" "$@"
