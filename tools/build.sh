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

# The dependency libraries are compiled once per target and kept in
# $deps/lib-<target>-<key>, the key naming what they are made from: the CMake
# project cmake/deps/ and the target's tool-chain file, which are copied in
# (so the folder builds whichever clone made it, and that clone may go), and
# the cmake arguments. Every later build folder of that target, in any clone
# that uses the same $deps, links them.
dep_lib_dir() {  # target, extra cmake arguments...
  local target=$1; shift
  echo "$deps/lib-$target-$( (cd "$here/cmake" && cat deps/CMakeLists.txt deps-sources.cmake deps-build.cmake
                              [ "$target" = native ] || cat "toolchain-mingw-$target.cmake"; echo "$@") |
                            sha256sum | cut -c1-16)"
}
build_dep_libs() {  # target, folder, extra cmake arguments...
  local target=$1 lib=$2 toolchain=(); shift 2
  if [ ! -f "$lib/build/build.ninja" ]; then
    rm -rf "$lib"; mkdir -p "$lib/project/deps"
    cp "$here/cmake/deps/CMakeLists.txt" "$lib/project/deps/"
    cp "$here/cmake/deps-sources.cmake" "$here/cmake/deps-build.cmake" "$lib/project/"
    if [ "$target" != native ]; then
      cp "$here/cmake/toolchain-mingw-$target.cmake" "$lib/project/"
      toolchain=(-DCMAKE_TOOLCHAIN_FILE="$lib/project/toolchain-mingw-$target.cmake")
    fi
    cmake -S "$lib/project/deps" -B "$lib/build" -G Ninja -DTESSARO_DEPS_DIR="$deps" "${toolchain[@]}" "$@" >/dev/null
  fi
  cmake --build "$lib/build" -j "$jobs" >/dev/null
}
dep_libs() {  # target, extra cmake arguments...: builds them; prints their folder
  local lib
  lib=$(dep_lib_dir "$@")
  with_cache_lock "$(basename "$lib")" build_dep_libs "$1" "$lib" "${@:2}" >&2
  echo "$lib/build"
}

configure() {  # folder, dependency libraries' folder, extra cmake arguments...
  local dir=$1 libs=$2; shift 2
  if [ -f "$dir/build.ninja" ] && grep -qxF "TESSARO_DEPS_LIB_DIR:PATH=$libs" "$dir/CMakeCache.txt"; then return 0; fi
  cmake -S "$here" -B "$dir" -G Ninja -DTESSARO_DEPS_DIR="$deps" -DTESSARO_DEPS_LIB_DIR="$libs" "$@" >/dev/null
}

for t in "${targets[@]}"; do
  case $t in
    native)
      step "building native"
      libs=$(dep_libs native)
      configure "$here/build/native" "$libs" -DTESSARO_WIN64_DIR="$here/build/x86_64" \
        -DTESSARO_WIN32_DIR="$here/build/i686"
      cmake --build "$here/build/native" -j "$jobs" ;;
    sanitize)
      step "building native with AddressSanitizer and UBSan"
      # Our code is instrumented; SQLite, pugixml and zlib are the native
      # build's libraries: AddressSanitizer still checks every access our code
      # makes to their memory, and LeakSanitizer every allocation.
      libs=$(dep_libs native)
      configure "$here/build/sanitize" "$libs" -DTESSARO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
      cmake --build "$here/build/sanitize" -j "$jobs" --target tessaro_tests ;;
    i686|x86_64)
      step "building Windows $t"
      libs=$(dep_libs "$t")
      configure "$here/build/$t" "$libs" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-mingw-$t.cmake"
      cmake --build "$here/build/$t" -j "$jobs" ;;
    *) echo "build: unknown target $t" >&2; exit 2 ;;
  esac
done
