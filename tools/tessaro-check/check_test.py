#!/usr/bin/env python3
"""tessaro-check over the generated sample database: a full verdict for every
component, a readable text, and exit status 2 with a message for bad input and
for host databases made to hang or exhaust the reader."""
import argparse
import json
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
import hostile  # noqa: E402


def run(cmd, timeout=None):
    return subprocess.run(cmd, capture_output=True, text=True, encoding="utf-8", timeout=timeout)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--check", required=True)
    ap.add_argument("--sample", required=True)
    ap.add_argument("--work", required=True)
    a = ap.parse_args()
    shutil.rmtree(a.work, ignore_errors=True)
    os.makedirs(a.work)
    made = run([a.sample, "--out", a.work, "--seed", "1", "--signal-points", "64"])
    assert made.returncode == 0, made.stderr
    db = os.path.join(a.work, "host.db")
    failures = []

    def expect(cond, what):
        if not cond:
            failures.append(what)

    r = run([a.check, "--db", db, "--format", "json", "--press-correct", "--temp-correct"])
    expect(r.returncode == 0, "json run status %d: %s" % (r.returncode, r.stderr))
    doc = json.loads(r.stdout)
    expect(doc["settings"] == {"pressureCorrection": True, "temperatureCorrection": True}, "settings")
    expect(len(doc["mixtures"]) == 5, "five mixtures")
    expect(len(doc["assays"]) >= 25, "assays")
    ids = [m["mixtureId"] for m in doc["assays"]]
    expect(ids == sorted(ids, key=lambda i: -1 if i is None else i), "assays sorted by mixture")
    comps = [c for c in doc["components"] if not c["isRangePart"]]
    expect(comps, "components")
    for c in comps:
        who = "%s/%d" % (c["name"], c["channel"])
        expect(isinstance(c["slope"], float), who + ": a line")
        expect(isinstance(c["corrR"], float), who + ": R")
        expect(c["catalogueName"] is not None, who + ": in the catalogue")
        expect(len(c["levels"]) == 5, who + ": five levels")
    expect(set(doc["messages"]) == {"errors", "warnings", "info"}, "messages")

    r = run([a.check, "--db", db])
    expect(r.returncode == 0, "text run status")
    expect(r.stdout.startswith("№ ") and "Пик" in r.stdout.splitlines()[0], "text starts with the table heading")
    expect("Коэфф. корреляции R" in r.stdout and "0.999" in r.stdout, "text has the results")
    expect("\r" not in r.stdout, "text line ends")

    first = doc["assays"][0]["id"]
    r = run([a.check, "--db", db, "--assay", str(first), "--assay", "999999", "--format", "json", "--digits", "1"])
    expect(r.returncode == 0, "one assay")
    expect([x["id"] for x in json.loads(r.stdout)["assays"]] == [first], "only the assay asked for")

    graphs = os.path.join(a.work, "graphs")
    r = run([a.check, "--db", db, "--graph", graphs])
    expect(r.returncode == 0, "graph run status %d: %s" % (r.returncode, r.stderr))
    names = sorted(os.listdir(graphs)) if os.path.isdir(graphs) else []
    offered = [c for c in doc["components"] if sum(1 for lv in c["levels"] if lv.get("conc") is not None
                                                    and lv.get("meanArea") is not None) > 1]
    calibration = [n for n in names if not n.endswith("-deviations.png")]
    expect(len(calibration) == len(offered) > 0, "one calibration picture per offered component: %r" % names)
    expect(sorted(n[:-4] + "-deviations.png" for n in calibration) == sorted(set(names) - set(calibration)),
           "a deviation picture beside each calibration picture: %r" % names)
    for n in names:
        with open(os.path.join(graphs, n), "rb") as f:
            expect(f.read(8) == b"\x89PNG\r\n\x1a\n", n + " is a PNG")
    expect(any(n.startswith("ch1-") and "Метан" in n for n in names), "a methane picture on channel 1: %r" % names)
    blocked = os.path.join(a.work, "blocked")
    with open(blocked, "w"):
        pass
    r = run([a.check, "--db", db, "--graph", blocked])
    expect(r.returncode == 2 and "cannot write" in r.stderr, "an unwritable picture folder gives status 2")

    for bad in (["--db"], [], ["--db", db, "--digits", "x"], ["--db", db, "--format", "xml"],
                ["--db", db, "--alias", "99=X"], ["--db", db, "--alias", "nope"], ["--db", db, "--bogus"]):
        r = run([a.check] + bad)
        expect(r.returncode == 2 and r.stderr, "bad arguments %s give status 2" % bad)
    r = run([a.check, "--db", os.path.join(a.work, "missing", "none.db")])
    expect(r.returncode == 2 and "database error" in r.stderr, "a missing database gives status 2")
    with open(os.path.join(a.work, "empty.db"), "wb"):
        pass
    r = run([a.check, "--db", os.path.join(a.work, "empty.db")])
    expect(r.returncode == 2 and "no such table" in r.stderr, "a database without tables: status 2 with the message")

    # Hostile databases: each is refused with SQLite's message. The time limit only stops a hang.
    for name in hostile.LIGHT:
        path = os.path.join(a.work, "hostile.db")
        hostile.make(path, name)
        _, message, code = hostile.CASES[name]
        started = time.monotonic()
        try:
            r = run([a.check, "--db", path], timeout=60)
        except subprocess.TimeoutExpired:
            failures.append("%s: tessaro-check ran for a minute" % name)
            continue
        print("%s: status %d after %.2f s" % (name, r.returncode, time.monotonic() - started))
        expect(r.returncode == 2 and "database error %d: %s\n" % (code, message) in r.stderr,
               "%s: status %d, %r" % (name, r.returncode, r.stderr))

    # The load data set: 51 analyses of each mixture and the blank, 256 in all; the hidden and
    # deleted ones follow them and stay out.
    big = os.path.join(a.work, "big")
    made = run([a.sample, "--out", big, "--signal-points", "64", "--runs-per-mixture", "51"])
    expect(made.returncode == 0 and "assays 1-255 visible, 256-257 hidden" in made.stdout, "big set: %s" % made.stdout)
    r = run([a.check, "--db", os.path.join(big, "host.db"), "--format", "json"])
    assays = json.loads(r.stdout)["assays"] if r.returncode == 0 else []
    per_mixture = {}
    for x in assays:
        per_mixture[x["mixtureId"]] = per_mixture.get(x["mixtureId"], 0) + 1
    expect(sorted(x["id"] for x in assays) == list(range(1, 256)) + [260], "big set ids %r" % [x["id"] for x in assays])
    expect(per_mixture == {12: 51, 15: 51, 17: 51, 21: 51, 24: 51, None: 1}, "big set per mixture %r" % per_mixture)
    expect(run([a.sample, "--out", big, "--runs-per-mixture", "0"]).returncode != 0, "no runs is refused")

    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
