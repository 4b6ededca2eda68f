#!/usr/bin/env python3
"""Reads the simulated host's transcript of the main job from standard input:
keeps it in a file, shows each progress line as it arrives, and at the end
prints the plug-in's results table and message log as the window showed them.

Given the text output of tessaro-check over the same data with the same
settings, it also says whether the window showed the same table and log.

Usage: main_job_view.py TRANSCRIPT.jsonl TABLE-FOLDER [CHECK.txt]"""
import json
import os
import sys
import time

from resource_names import R

# The results page's table as the scenario's dump writes it.
RESULTS = "Результаты расчета-%d.tsv" % R.IDC_TABLE_LIST


def aligned(rows):
    widths = [max(len(r[i]) if i < len(r) else 0 for r in rows) for i in range(max(len(r) for r in rows))]
    return "\n".join("  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip() for r in rows)


def main():
    transcript, tables = sys.argv[1], sys.argv[2]
    check = sys.argv[3] if len(sys.argv) > 3 else None
    started = int(os.environ.get("TESSARO_T0", time.time()))
    log = None
    exports = []
    with open(transcript, "w", encoding="utf-8") as out:
        for line in sys.stdin:
            out.write(line)
            if not line.strip():
                continue
            try:
                record = json.loads(line)
            except ValueError:
                continue
            if record.get("host") == "say":
                print("\033[1m==> [%4ds]   %s\033[0m" % (time.time() - started, record["text"]), flush=True)
            elif record.get("host") == "text" and record.get("id") == R.IDC_LOG_TEXT:
                log = record["text"]
            elif record.get("name") == "Export/ExportToOdt":
                exports.append(record)
            elif record.get("host") == "modal" and len(exports) and exports[-1]["result"] < 0:
                print("    the report failed: %r" % record, flush=True)
    path = os.path.join(tables, RESULTS)
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            rows = [line.split("\t") for line in f.read().splitlines()]
        print("\nResults table of the plug-in window (\"Результаты расчета\"):\n")
    else:
        print("\nno results table was dumped", file=sys.stderr)
        return 1
    shown_table = aligned(rows)
    print(shown_table)
    print("\nMessage log of the plug-in window (\"Системные сообщения\"):\n")
    shown_log = (log or "").replace("\r\n", "\n").rstrip()
    print(shown_log or "(empty)")
    if check:
        with open(check, encoding="utf-8") as f:
            printed_table, _, printed_log = f.read().partition("\n\n")
        if (shown_table, shown_log) == (printed_table.rstrip(), printed_log.rstrip()):
            print("\nThe window's results table and message log equal the command-line check's, line for line.")
        else:
            print("\nthe window's results differ from the command-line check's (%s)" % check, file=sys.stderr)
            return 1
    if not exports or exports[-1]["result"] < 0:
        print("\nthe report was not produced: %r" % exports, file=sys.stderr)
        return 1
    report = exports[-1]["report"]
    if report[1:3] == ":\\":
        report = report[2:].replace("\\", "/")
    print("\nReport written by the host: %s" % report)
    return 0


if __name__ == "__main__":
    sys.exit(main())
