#!/usr/bin/env bash
# The main job on a fresh machine: set up, build, generate the sample host data,
# check it natively, then run the x86_64 plug-in in the simulated host under
# wine64 through the whole road a chemist takes -- add every chromatogram, read
# the results, turn pressure correction on, look at every page, produce the
# report -- and leave the report, screenshots of every tab and the dumps of
# every table in build/main-job/.
#
#   tools/main-job.sh                the road above, unattended
#   tools/main-job.sh --interactive  set up and build, then open the simulated host
#                                    with the sample data for a person (on $DISPLAY,
#                                    or on a private X server shown through VNC)
#   --db FILE                        with either: the same over a host database of
#                                    your own instead of the sample data; the plug-in
#                                    reads a copy of it (FILE is never written) and the
#                                    chromatogram files as the database names them
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tools/lib.sh"
mode=road
user_db=
usage() { echo "usage: tools/main-job.sh [--interactive] [--db FILE]" >&2; exit 2; }
while [ $# -gt 0 ]; do
  case $1 in
    --interactive) mode=interactive ;;
    --db) [ $# -ge 2 ] || usage; user_db=$2; shift ;;
    *) usage ;;
  esac
  shift
done
if [ -n "$user_db" ]; then
  [ -f "$user_db" ] || { echo "main job: no database file $user_db" >&2; exit 2; }
  user_db=$(realpath "$user_db")
fi

"$here/tools/setup.sh"
"$here/tools/build.sh"
out="$here/build/main-job"
rm -rf "$out"
mkdir -p "$out"
export WINEPREFIX=$(wine64_prefix) WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" FONTCONFIG_FILE=$(wine_fonts_conf)
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }
host="$here/build/x86_64/host-sim.exe"
dll=$(winpath "$here/build/x86_64/Tessaro.dll")

if [ -n "$user_db" ]; then
  step "your host database $user_db (copied; the chromatograms stay where it names them)"
  mkdir -p "$out/data" "$out/data-native"
  python3 "$here/tools/user_db.py" "$user_db" "$out/data/host.db" "$out/data-native/host.db" "$WINEPREFIX"
  data_name="your data"
else
  step "sample host database and chromatograms (seed 1)"
  "$here/build/native/tessaro-sample" --out "$out/data" --seed 1 --windows-paths
  # The same data set with native file paths, so the native check reads the passports.
  "$here/build/native/tessaro-sample" --out "$out/data-native" --seed 1 >/dev/null
  data_name="the sample data"
fi
db=$(winpath "$out/data/host.db")

if [ $mode = interactive ]; then
  if [ -z "${DISPLAY:-}" ]; then
    command -v x11vnc >/dev/null || { step "installing x11vnc"; apt-get install -y -qq x11vnc >/dev/null; }
    ensure_display
    x11vnc -display "$DISPLAY" -localhost -forever -nopw -quiet -bg -o "$out/x11vnc.log" >/dev/null
    step "no X display here: the host runs on $DISPLAY, shown by VNC on localhost:5900"
  fi
  step "simulated host with $data_name: menu Данные/Расчёты/Tessaro opens the plug-in; close the host to end"
  /usr/lib/wine/wine64 "$host" --dll "$dll" --db "$db" --interactive --profile "$(winpath "$out/profile.txt")"
  exit 0
fi

ensure_display
step "plug-in description, as the host reads it"
/usr/lib/wine/wine64 "$host" --dll "$dll" --info | python3 -m json.tool --no-ensure-ascii | tee "$out/plugin-info.json"

step "linearity check of $data_name with pressure correction (tessaro-check: the plug-in's loading and calculation, natively)"
"$here/build/native/tessaro-check" --db "$out/data-native/host.db" --press-correct | tee "$out/check.txt"
"$here/build/native/tessaro-check" --db "$out/data-native/host.db" --press-correct --format json > "$out/check.json"

step "the plug-in in the simulated host under wine64"
mkdir -p "$out/screenshots" "$out/report"
shot() { echo "shot $(winpath "$out/screenshots/$1.png")"; }
cat > "$out/scenario.txt" <<SCENARIO
say opening the plug-in from the host menu
say adding every chromatogram the host's selection dialog offers
select all
press IDC_ASSAY_ADD
say turning pressure correction on in the settings (the check is calculated again)
press IDC_MAIN_SETTINGS ok check:IDC_SET_PRESSURE=1
say screenshots of every tab
click IDC_ASSAY_LIST 1
$(shot 1-chromatograms)
tab IDC_MAIN_UPPER_TABS 1
click IDC_MIXTURE_LIST 0
$(shot 2-mixtures)
tab IDC_MAIN_UPPER_TABS 0
tab IDC_MAIN_LOWER_TABS 1
$(shot 3-mixture-info)
tab IDC_MAIN_LOWER_TABS 2
$(shot 4-intermediate)
tab IDC_MAIN_LOWER_TABS 3
$(shot 5-results)
tab IDC_MAIN_LOWER_TABS 4
choose График IDC_GRAPH_CHANNEL 0
choose График IDC_GRAPH_COMPONENT 0
$(shot 6-graph)
click IDC_GRAPH_DEVIATIONS
$(shot 6-deviations)
click IDC_GRAPH_DEVIATIONS
tab IDC_MAIN_LOWER_TABS 5
$(shot 7-messages)
text IDC_LOG_TEXT
tab IDC_MAIN_LOWER_TABS 3
say dumping every table
dump $(winpath "$out/tables")
say producing the report with every section
press IDC_MAIN_REPORT ok set:IDC_REP_DEVICE=ХГ-2/0417 set:IDC_REP_OPERATOR=Кузнецова check:IDC_REP_ASSAYS=1 check:IDC_REP_MIXTURES=1 check:IDC_REP_MIXTURE_INFO=1 check:IDC_REP_RESULTS=1 check:IDC_REP_GRAPH=1 click:IDC_REP_REPORT
say done
SCENARIO
/usr/lib/wine/wine64 "$host" --dll "$dll" --db "$db" --profile "$(winpath "$out/profile.txt")" \
    --report-out "$(winpath "$out/report")" --auto "$(winpath "$out/scenario.txt")" |
  python3 "$here/tools/main_job_view.py" "$out/host-transcript.jsonl" "$out/tables" "$out/check.txt"

report=$(ls "$out/report/"*.odt 2>/dev/null | head -n 1)
[ -n "$report" ] || { echo "main job: no report was written" >&2; exit 1; }
cp "$report" "$out/report.odt"
if command -v soffice >/dev/null; then
  step "converting the report to PDF with the word processor"
  soffice --headless --convert-to pdf --outdir "$out" "$out/report.odt" >/dev/null 2>&1 ||
    echo "the word processor could not convert the report" >&2
fi
step "done; outputs in $out"
echo "  report:       $out/report.odt$( [ -f "$out/report.pdf" ] && echo " and $out/report.pdf")"
echo "  screenshots:  $out/screenshots/"
echo "  tables:       $out/tables/ (every list view of the plug-in's windows, tab-separated)"
echo "  transcript:   $out/host-transcript.jsonl (every call between host and plug-in)"
echo "  native check: $out/check.txt, $out/check.json"
