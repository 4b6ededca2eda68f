"""Load and soak test: 256 chromatograms added in one go, all deleted and added again, round
after round, each Add followed by its recalculation. The process's private bytes, the plug-in's
live GDI objects and the thread's windows must not grow. The time of every Add is recorded with the
figures, never judged: speed is measured by the benchmarks, on demand."""
import json
import os
import statistics
import subprocess

import winenv
from common import R, Failure, artefacts_dir, dumped, expect, native_dir, read_table, records

ASSAYS = 256           # the most one selection answers with: 51 analyses of each of 5 mixtures and the blank
RUNS_PER_MIXTURE = 51
ROUNDS = 50            # the first one warms up: the first Add fills caches and grows heaps
# Allowed growth of private bytes from the end of the warm-up round to the end of the run. The
# process heap of wine and of the C run-time keeps free blocks and commits in pages, so the figure
# moves by some tens of KB from round to round without a leak; 256 KB over 49 rounds is still far
# below one round's worth of a lost assay set (each set holds about a megabyte of records, peaks
# and list texts) and catches a leak of more than about 5 KB a round.
PRIVATE_SLACK = 256 * 1024


def load_data(ctx):
    """The 256-chromatogram host database, made once per run in the test folder."""
    folder = os.path.join(ctx.work, "sample-256")
    database = os.path.join(folder, "host.db")
    if not os.path.exists(database):
        tool = os.path.join(native_dir(ctx), "tessaro-sample")
        if not os.path.exists(tool):
            raise Failure("tessaro-sample is not built in %s" % native_dir(ctx))
        subprocess.run([tool, "--out", folder, "--windows-paths", "--runs-per-mixture", str(RUNS_PER_MIXTURE)],
                       check=True, capture_output=True)
    return database


def test_load_soak(ctx):
    """50 rounds of adding 256 chromatograms (with the recalculation the Add asks for), painting the
    graph page over them and deleting them all: private bytes, GDI objects and windows end where
    the warm-up round left them."""
    database = load_data(ctx)
    dumps = os.path.join(ctx.work, "load-dumps")
    os.makedirs(dumps, exist_ok=True)

    def dump(name):
        return "dump " + winenv.Wine.path(os.path.join(dumps, name))
    lines = ["select all", "tab IDC_MAIN_LOWER_TABS 4", "counts"]
    for n in range(ROUNDS):
        lines += ["time press IDC_ASSAY_ADD", "redraw График"]
        if n in (0, ROUNDS - 1):
            lines.append(dump(str(n)))
        lines += ["press IDC_ASSAY_DELETE_ALL", "counts"]
    lines.append("state")
    calls = ctx.scenario("load", lines, args=["--db", winenv.Wine.path(database)], calls=True)

    chosen = [c for c in calls if c.get("call") == "CallService" and c.get("name") == "Main/OpenAssayIdDlgEx"]
    expect(len(chosen) == ROUNDS and all(c["result"] == ASSAYS and not c["error"] for c in chosen),
           "the selection did not answer %d ids each time: %r" % (ASSAYS, [(c["result"], c["error"]) for c in chosen]))
    for n in (0, ROUNDS - 1):
        folder = os.path.join(dumps, str(n))
        listed = read_table(folder, dumped("Хроматограммы", R.IDC_ASSAY_LIST))
        expect(len(listed) == ASSAYS, "round %d: %d chromatograms listed" % (n + 1, len(listed)))
        results = read_table(folder, dumped("Результаты расчета", R.IDC_TABLE_LIST))
        expect(len(results) > 10 and any(r[5] == "Да" for r in results if r[0]),
               "round %d: no calculation results: %r" % (n + 1, results[:3]))
    state = records(calls, "state")[-1]
    # The first recalculation comes with the window; then one for every Add and every Delete all.
    expect(state["recalculations"] == 1 + 2 * ROUNDS, "recalculations %r" % state["recalculations"])

    counts = records(calls, "counts")
    expect(len(counts) == ROUNDS + 1, "%d counts records" % len(counts))
    start, warm, end = counts[0], counts[1], counts[-1]
    expect(all(c["privateBytes"] > 0 for c in counts), "private bytes not measured: %r" % counts[0])
    expect(end["graphRenders"] - start["graphRenders"] >= ROUNDS, "the chart was not painted: %r -> %r" % (start, end))
    times = [t["ms"] for t in records(calls, "time")]
    expect(len(times) == ROUNDS, "%d Add timings" % len(times))

    figures = {
        "arch": ctx.arch, "assays": ASSAYS, "rounds": ROUNDS,
        "privateBytes": {"start": start["privateBytes"], "afterWarmUp": warm["privateBytes"],
                         "end": end["privateBytes"], "max": max(c["privateBytes"] for c in counts[1:]),
                         "allowedGrowth": PRIVATE_SLACK, "perRound": [c["privateBytes"] for c in counts]},
        "gdi": {"start": start["gdi"], "afterWarmUp": warm["gdi"], "end": end["gdi"],
                "surfaceEnd": end["surface"], "graphRenders": end["graphRenders"]},
        "windows": {"start": start["windows"], "afterWarmUp": warm["windows"], "end": end["windows"]},
        "addMs": {"min": min(times), "median": statistics.median(times), "max": max(times),
                  "each": times},
    }
    with open(os.path.join(artefacts_dir(ctx), "load-%s.json" % ctx.arch), "w", encoding="utf-8") as f:
        json.dump(figures, f, indent=1)
    kb = lambda b: "%.0f KB" % (b / 1024.0)
    print("     private bytes: start %s, after warm-up %s, end %s (growth %s, max %s)"
          % (kb(start["privateBytes"]), kb(warm["privateBytes"]), kb(end["privateBytes"]),
             kb(end["privateBytes"] - warm["privateBytes"]), kb(figures["privateBytes"]["max"])))
    print("     GDI objects %d / %d / %d, windows %d / %d / %d"
          % (start["gdi"], warm["gdi"], end["gdi"], start["windows"], warm["windows"], end["windows"]))
    print("     Add of %d: min %.0f ms, median %.0f ms, max %.0f ms" % (ASSAYS, min(times), statistics.median(times),
                                                                      max(times)), flush=True)

    expect(all((c["gdi"], c["surface"]) == (warm["gdi"], warm["surface"]) for c in counts[1:]),
           "GDI objects (windows, plot surfaces) %r" % [(c["gdi"], c["surface"]) for c in counts])
    expect(end["windows"] == warm["windows"] and all(c["windows"] == warm["windows"] for c in counts[1:]),
           "windows %r" % [c["windows"] for c in counts])
    growth = end["privateBytes"] - warm["privateBytes"]
    expect(growth <= PRIVATE_SLACK, "private bytes grew by %d bytes after the warm-up: %r"
           % (growth, figures["privateBytes"]["perRound"]))


LOAD_TESTS = [test_load_soak]
