#!/usr/bin/env bash
# A script that set up a display and wine ends with its own status, whatever
# the clean-up's commands answer (wineserver has nothing to stop here).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
command -v Xvfb >/dev/null || { echo "SKIPPED: no Xvfb"; exit 77; }
run() {  # the exit status the script body ends with
  env -u DISPLAY WINEPREFIX="$(mktemp -d)/none" bash -c "set -euo pipefail; . '$root/tools/lib.sh'; ensure_display; $1"
}
failed=0
for case in "true:0" "false:1" "exit 3:3"; do
  body=${case%:*} want=${case##*:}
  run "$body"; got=$?
  if [ "$got" = "$want" ]; then echo "ok   '$body' ends with $got"; else echo "FAIL '$body' ends with $got, not $want"; failed=$((failed + 1)); fi
done
echo "exit-status: $((3 - failed)) passed, $failed failed"
[ $failed = 0 ]
