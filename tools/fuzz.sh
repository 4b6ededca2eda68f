#!/usr/bin/env bash
# Builds the fuzz target of the chromatogram file reader with clang (libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer) in build/fuzz, seeds a corpus
# from generated chromatogram files and runs it for a bounded time (about a
# minute; TESSARO_FUZZ_SECONDS to change). Any finding fails the script.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tools/lib.sh"
deps=$(deps_dir)
out="$here/build/fuzz"
seconds=${TESSARO_FUZZ_SECONDS:-60}
cxx=${TESSARO_FUZZ_CXX:-clang++}
mkdir -p "$out/obj"

step "building the chromatogram file fuzz target"
common=(-std=c++17 -O1 -g -fno-omit-frame-pointer -DPUGIXML_WCHAR_MODE -I"$here" -isystem "$deps/pugixml/src"
        -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)
# The library is compiled once; the system's own sources every time.
pugi_obj="$out/obj/pugixml.o"
if [ ! -s "$pugi_obj" ] || [ "$deps/pugixml/src/pugixml.cpp" -nt "$pugi_obj" ]; then
  "$cxx" "${common[@]}" -w -c "$deps/pugixml/src/pugixml.cpp" -o "$pugi_obj"
fi
objects=("$pugi_obj")
for src in data/norvane_file.cpp host/text.cpp tests/fuzz/norvane_file_fuzz.cpp; do
  obj="$out/obj/$(basename "$src" .cpp).o"
  "$cxx" "${common[@]}" -Wall -Wextra -Werror -c "$here/$src" -o "$obj"
  objects+=("$obj")
done
"$cxx" -fsanitize=fuzzer,address,undefined "${objects[@]}" -o "$out/norvane_file_fuzz"

step "seeding the corpus from generated files"
sample="$here/build/native/tessaro-sample"
[ -x "$sample" ] || "$here/tools/build.sh" native
rm -rf "$out/seeds" "$out/corpus" "$out/sample" "$out"/crash-* "$out"/leak-* "$out"/timeout-* "$out"/oom-*
mkdir -p "$out/seeds" "$out/corpus"
"$sample" --out "$out/sample" --seed 7 --signal-points 48 >/dev/null
cp "$out/sample/chromatograms/"*.chr "$out/seeds/"

step "fuzzing for ${seconds} s"
# A reader that allocates more than the input could justify is a finding too.
cd "$out"
"$out/norvane_file_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=256 \
  -print_final_stats=1 -artifact_prefix="$out/" "$out/corpus" "$out/seeds" 2>"$out/fuzz.log" \
  || { rm -f "$out"/scratch-*.chr; tail -n 60 "$out/fuzz.log" >&2; echo "fuzz: finding, see $out/fuzz.log" >&2; exit 1; }
rm -f "$out"/scratch-*.chr
grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$out/fuzz.log" || true
step "fuzzing found nothing"
