#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build/fuzz/bin and runs each for its share of
# TESSARO_FUZZ_SECONDS (default 60, for all targets together). Each target
# keeps its corpus in build/fuzz/<target>/corpus from run to run; an empty one
# is seeded first. Any finding fails the script; its input is left in
# build/fuzz/<target>/ (crash-*, leak-*, timeout-*, oom-*).
# Usage: tools/fuzz.sh [TARGET...]   (default: every target below)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tools/lib.sh"
deps=$(deps_dir)
out="$here/build/fuzz"
seconds=${TESSARO_FUZZ_SECONDS:-60}
cxx=${TESSARO_FUZZ_CXX:-clang++}

# One line per target; a new target is its source tests/fuzz/<name>.cpp and a line here.
#   name       the target's source is tests/fuzz/<name>.cpp
#   max_len    the longest input, in bytes
#   timeout    seconds one input may take before it is a finding (a hang or a
#              cost out of proportion to the input)
#   malloc_mb  the largest single allocation that is not a finding
#   seeds      what an empty corpus starts from: "chromatograms" (generated
#              files and the costly shapes, see seed_chromatograms) or "none"
#   sources    the system's sources the target links, beside its own
# The number and settings targets stand for any count of decimals, value,
# time and profile answer; their 5 s would catch a formatter asked for
# millions of decimals or a loop over a damaged count.
# The passport target takes inputs of 1 MB, as the plug-in reads files of any
# length. Its 5 s: a crafted 1 MB file (24 000 empty channel blocks, as many
# channel entries) took 72 s in it when peak tables were matched with a scan
# over all blocks per entry (0.3 MB: 3 s), and the costliest honest 1 MB inputs
# measured take under 1 s, which leaves room for a loaded machine.
targets=(
  "norvane_file_fuzz      16384    10  64  chromatograms  data/norvane_file.cpp base/text.cpp"
  "norvane_passport_fuzz  1048576  5   64  chromatograms  data/norvane_file.cpp base/text.cpp"
  "number_text_fuzz       64       5   16  none           base/text.cpp base/ctime.cpp"
  "settings_fuzz          4096     5   16  none           base/text.cpp host/settings.cpp host/program_settings.cpp ui/model/settings_form.cpp catalogue/component_catalogue.cpp"
)
# A run of any target may hold this much memory in all (AddressSanitizer's
# quarantine and the corpus included).
rss_limit_mb=1024

# seed_<kind> DIR MAX_LEN: fills DIR with seed files of at most MAX_LEN bytes.
seed_none() { :; }
seed_chromatograms() {
  local dir=$1 max_len=$2 sample="$here/build/native/tessaro-sample"
  rm -rf "$dir.sample"
  "$sample" --out "$dir.sample" --seed 7 --signal-points 48 >/dev/null
  find "$dir.sample/chromatograms" -name '*.chr' -size -"$((max_len + 1))"c -exec cp {} "$dir/" \;
  rm -rf "$dir.sample"
  python3 "$here/tests/fuzz/chromatogram_shapes.py" "$dir" "$max_len"
}

selected=("$@")
lines=()
for line in "${targets[@]}"; do
  read -r name _ <<<"$line"
  if [ ${#selected[@]} -eq 0 ] || [[ " ${selected[*]} " == *" $name "* ]]; then lines+=("$line"); fi
done
[ ${#lines[@]} -gt 0 ] || { echo "fuzz: no target named ${selected[*]}" >&2; exit 2; }
share=$(( seconds / ${#lines[@]} ))
[ "$share" -ge 1 ] || share=1

step "building ${#lines[@]} fuzz target(s)"
mkdir -p "$out/obj" "$out/bin"
common=(-std=c++17 -O1 -g -fno-omit-frame-pointer -DPUGIXML_WCHAR_MODE -I"$here" -isystem "$deps/pugixml/src"
        -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)
# The library is compiled once; the system's own sources once per run.
pugi_obj="$out/obj/pugixml.o"
if [ ! -s "$pugi_obj" ] || [ "$deps/pugixml/src/pugixml.cpp" -nt "$pugi_obj" ]; then
  "$cxx" "${common[@]}" -w -c "$deps/pugixml/src/pugixml.cpp" -o "$pugi_obj"
fi
declare -A compiled=()
for line in "${lines[@]}"; do
  read -r name _ _ _ _ sources <<<"$line"
  objects=("$pugi_obj")
  for src in "tests/fuzz/$name.cpp" $sources; do
    obj="$out/obj/${src//\//_}"
    obj="${obj%.cpp}.o"
    if [ -z "${compiled[$src]:-}" ]; then
      "$cxx" "${common[@]}" -Wall -Wextra -Werror -c "$here/$src" -o "$obj"
      compiled[$src]=1
    fi
    objects+=("$obj")
  done
  "$cxx" -fsanitize=fuzzer,address,undefined "${objects[@]}" -o "$out/bin/$name"
done

fuzz_one() {  # a line of the table: seeds an empty corpus, fuzzes; fails on a finding
  local name max_len timeout malloc_mb seeds dir
  read -r name max_len timeout malloc_mb seeds _ <<<"$1"
  dir="$out/$name"
  mkdir -p "$dir/corpus"
  rm -f "$dir"/crash-* "$dir"/leak-* "$dir"/timeout-* "$dir"/oom-* "$dir"/slow-unit-* "$dir"/scratch-*
  if [ -z "$(ls -A "$dir/corpus")" ]; then
    step "$name: seeding the empty corpus ($seeds)"
    "seed_$seeds" "$dir/corpus" "$max_len"
  fi
  step "$name: fuzzing for ${share} s ($(ls "$dir/corpus" | wc -l) inputs in the corpus)"
  # The target's scratch files go into its own folder.
  if ! (cd "$dir" && "$out/bin/$name" -max_total_time="$share" -max_len="$max_len" -timeout="$timeout" \
          -rss_limit_mb="$rss_limit_mb" -malloc_limit_mb="$malloc_mb" -print_final_stats=1 \
          -artifact_prefix="$dir/" "$dir/corpus" 2>"$dir/fuzz.log"); then
    rm -f "$dir"/scratch-*
    tail -n 60 "$dir/fuzz.log" >&2
    echo "fuzz: $name found something, see $dir/fuzz.log" >&2
    return 1
  fi
  rm -f "$dir"/scratch-*
  echo "$name: $(grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$dir/fuzz.log" | tr '\n' ' ')"
}
# Each target is one process on one core: as many run side by side as there
# are jobs (TESSARO_JOBS), each for its own full share of the seconds.
if grep -q ' chromatograms ' <<<"${lines[*]}" && [ ! -x "$here/build/native/tessaro-sample" ]; then
  "$here/tools/build.sh" native
fi
parallel=${TESSARO_JOBS:-$(nproc)}
found=0
running=0
for line in "${lines[@]}"; do
  if [ "$running" -ge "$parallel" ]; then wait -n || found=1; running=$((running - 1)); fi
  fuzz_one "$line" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do wait -n || found=1; running=$((running - 1)); done
[ $found = 0 ] || exit 1
step "fuzzing found nothing"
