#!/usr/bin/env python3
"""After the wine runs of both DLLs: the results table the 32-bit plug-in showed on the
sample data equals the 64-bit one's, cell for cell. Exit 0 = equal, 1 = different,
77 = skipped (a run did not leave its table, e.g. wine32 cannot run here)."""
import os
import sys

folder = os.path.join(os.environ.get("TESSARO_NATIVE_DIR", "."), "e2e-artifacts")
tables = {}
for arch in ("x86_64", "i686"):
    path = os.path.join(folder, "results-%s.tsv" % arch)
    if not os.path.exists(path):
        print("SKIPPED: no results table of the %s run in %s" % (arch, folder))
        sys.exit(77)
    with open(path, encoding="utf-8") as f:
        tables[arch] = [line.split("\t") for line in f.read().splitlines()]
wide, narrow = tables["x86_64"], tables["i686"]
if wide == narrow:
    print("the results tables of both DLLs are equal: %d rows" % (len(wide) - 1))
    sys.exit(0)
for number, (a, b) in enumerate(zip(wide, narrow)):
    if a != b:
        print("row %d differs:\n  x86_64 %r\n  i686   %r" % (number, a, b))
        break
else:
    print("row counts differ: x86_64 %d, i686 %d" % (len(wide), len(narrow)))
sys.exit(1)
