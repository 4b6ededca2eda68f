#!/usr/bin/env bash
# The main job on a fresh machine: set up, build, and load the x86_64 plug-in
# into the simulated host under wine64, showing what the host sees.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tools/lib.sh"
"$here/tools/setup.sh"
"$here/tools/build.sh"
out="$here/build/main-job"
mkdir -p "$out"
export WINEPREFIX=$(wine64_prefix) WINEDEBUG=-all
ensure_display
host="$here/build/x86_64/host-sim.exe"
dll="Z:$(echo "$here/build/x86_64/Tessaro.dll" | tr / '\\')"
step "plug-in description, as the host reads it"
/usr/lib/wine/wine64 "$host" --dll "$dll" --info | python3 -m json.tool --no-ensure-ascii | tee "$out/plugin-info.json"
step "sample host database and chromatograms (seed 1)"
"$here/build/native/tessaro-sample" --out "$out/data" --seed 1 --windows-paths
step "linearity check of the sample data (tessaro-check, the plug-in's calculation natively)"
# The same data set with native file paths, so the native check reads the passports.
"$here/build/native/tessaro-sample" --out "$out/data-native" --seed 1 >/dev/null
"$here/build/native/tessaro-check" --db "$out/data-native/host.db" | tee "$out/check.txt"
"$here/build/native/tessaro-check" --db "$out/data-native/host.db" --format json > "$out/check.json"
db="Z:$(echo "$out/data/host.db" | tr / '\\')"
step "host session: load, modules loaded, menu command, unload"
/usr/lib/wine/wine64 "$host" --dll "$dll" --db "$db" --menu-command 1 \
  --profile "Z:$(echo "$out/profile.txt" | tr / '\\')" | tee "$out/host-transcript.jsonl"
step "done; outputs in $out"
