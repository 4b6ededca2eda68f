#!/usr/bin/env bash
# Configures and builds the three targets from this tree:
#   build/native   Linux: portable core, unit tests, command-line tools, benchmarks
#   build/i686     Windows 32-bit: Tessaro.dll (the deliverable) and the simulated host
#   build/x86_64   Windows 64-bit: the same, for the everyday wine64 tests
#   build/sanitize the unit tests with AddressSanitizer and UBSan (only when asked for)
# Usage: tools/build.sh [native|i686|x86_64|sanitize ...]   (default: the first three)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tools/lib.sh"
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(native i686 x86_64)
jobs=${TESSARO_JOBS:-$(nproc)}
deps=$(deps_dir)

# The dependency libraries are compiled once per target into $deps/lib-<target>
# and reused by every later build folder of that target (ninja keeps them current
# when their sources or flags change).
dep_libs() {  # target, extra cmake arguments...
  local lib=$deps/lib-$1; shift
  if [ ! -f "$lib/build.ninja" ]; then
    cmake -S "$here/cmake/deps" -B "$lib" -G Ninja -DTESSARO_DEPS_DIR="$deps" "$@" >/dev/null
  fi
  cmake --build "$lib" -j "$jobs" >/dev/null
}

configure() {  # target, folder, extra cmake arguments...
  local target=$1 dir=$2; shift 2
  dep_libs "$target" "$@"
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$here" -B "$dir" -G Ninja -DTESSARO_DEPS_DIR="$deps" -DTESSARO_DEPS_LIB_DIR="$deps/lib-$target" "$@" >/dev/null
  fi
}

for t in "${targets[@]}"; do
  case $t in
    native)
      step "building native"
      configure native "$here/build/native" -DTESSARO_WIN64_DIR="$here/build/x86_64" -DTESSARO_WIN32_DIR="$here/build/i686"
      cmake --build "$here/build/native" -j "$jobs" ;;
    sanitize)
      step "building native with AddressSanitizer and UBSan"
      configure sanitize "$here/build/sanitize" -DTESSARO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
      cmake --build "$here/build/sanitize" -j "$jobs" --target tessaro_tests ;;
    i686|x86_64)
      step "building Windows $t"
      configure "$t" "$here/build/$t" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-mingw-$t.cmake"
      cmake --build "$here/build/$t" -j "$jobs" ;;
    *) echo "build: unknown target $t" >&2; exit 2 ;;
  esac
done
