#!/usr/bin/env python3
"""After the wine runs of both DLLs: every list view the 32-bit plug-in filled on the sample
data (chromatograms, mixtures with their dates, the information tables, the intermediate
results, the results table, the graph's levels) equals the 64-bit one's, cell for cell.
Exit 0 = equal, 1 = different, 77 = skipped (a run did not leave its tables, e.g. wine32
cannot run here)."""
import os
import sys

folder = os.path.join(os.environ.get("TESSARO_NATIVE_DIR", "."), "e2e-artifacts")


def tables(arch):
    where = os.path.join(folder, "tables-%s" % arch)
    if not os.path.isdir(where):
        print("SKIPPED: no tables of the %s run in %s" % (arch, folder))
        sys.exit(77)
    found = {}
    for name in sorted(os.listdir(where)):
        with open(os.path.join(where, name), encoding="utf-8") as f:
            found[name] = [line.split("\t") for line in f.read().splitlines()]
    return found


wide, narrow = tables("x86_64"), tables("i686")
failed = 0
same_lists = sorted(wide) == sorted(narrow)
if not same_lists:
    print("FAIL the runs dumped different lists: x86_64 %r, i686 %r" % (sorted(wide), sorted(narrow)))
for name in sorted(set(wide) & set(narrow)):
    a, b = wide[name], narrow[name]
    if a == b:
        print("ok   %s: %d rows" % (name, len(a) - 1))
        continue
    failed += 1
    for number, (x, y) in enumerate(zip(a, b)):
        if x != y:
            print("FAIL %s, row %d differs:\n  x86_64 %r\n  i686   %r" % (name, number, x, y))
            break
    else:
        print("FAIL %s: row counts differ: x86_64 %d, i686 %d" % (name, len(a), len(b)))
print("same-results: %d passed, %d failed" % (len(set(wide) & set(narrow)) - failed, failed))
sys.exit(1 if failed or not same_lists else 0)
