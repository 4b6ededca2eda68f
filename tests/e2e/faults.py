"""End-to-end tests of the faults the plug-in meets in a host: a database that is gone, empty,
damaged or locked, damaged chromatogram files, a host without a profile, selections the buffer
cannot hold or that name nothing visible, and reports whose template or temporary folder fail.
Each shows what the user is told, that the window goes on answering, that what was loaded stays
loaded and that the host's files are left as they were."""
import glob
import json
import math
import os
import random
import re
import shutil
import sqlite3
import struct
import subprocess
import threading
import time
import zipfile

import hostile
import winenv
from common import (R, Failure, aligned_table, controls, dumped, expect, file_digest, native_dir, read_table,
                    records, sample_data)

W = winenv.Wine.path


def scratch(ctx, *names):
    """A path in this module's scratch folder (which is made when missing)."""
    folder = os.path.join(ctx.work, "faults")
    os.makedirs(folder, exist_ok=True)
    return os.path.join(folder, *names)


def run_scenario(ctx, name, lines, actions=(), args=(), profile=None, timeout=600, env=None, watch=None):
    """host-sim --auto over the lines. Each line "handoff" makes the host stop there until the
    next action has run on this side (it may break or mend the database, lock it, ...). env adds
    to the process's environment; watch(pid) is called every 20 ms while the host runs.
    Returns every record of the transcript."""
    if not getattr(ctx, "unmanaged", False):
        # As Context.scenario does: unmanaged windows are hidden without waiting.
        ctx.wine.run("reg", ["add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N", "/f"])
        ctx.unmanaged = True
    folder = scratch(ctx)
    handoffs, text = [], []
    for line in lines:
        if line == "handoff":
            handoffs.append(os.path.join(folder, "%s.handoff%d" % (name, len(handoffs))))
            line = "handoff " + W(handoffs[-1])
        text.append(line)
    expect(len(handoffs) == len(actions), "%s: %d handoffs for %d actions" % (name, len(handoffs), len(actions)))
    script = os.path.join(folder, name + ".txt")
    with open(script, "w", encoding="utf-8") as f:
        f.write("\n".join(text) + "\n")
    command = [winenv.loader(ctx.arch), ctx.host, "--dll", W(ctx.dll), "--auto", W(script)] + list(args)
    if profile:
        command += ["--profile", W(profile)]
    transcript = os.path.join(folder, name + ".jsonl")
    done = 0
    with open(transcript, "wb") as out:
        proc = subprocess.Popen(command, env=dict(ctx.wine.env, **(env or {})), stdout=out, stderr=subprocess.PIPE)
        started = time.time()
        try:
            while proc.poll() is None:
                if watch:
                    watch(proc.pid)
                if done < len(handoffs) and os.path.exists(handoffs[done]):
                    actions[done]()
                    os.remove(handoffs[done])
                    done += 1
                if time.time() - started > timeout:
                    raise Failure("%s: host-sim ran longer than %d s" % (name, timeout))
                time.sleep(0.02)
        finally:
            if proc.poll() is None:
                proc.kill()
            error = proc.communicate()[1].decode("utf-8", "replace")
    expect(proc.returncode == 0, "%s: host-sim exited with %d: %s" % (name, proc.returncode, error.strip()))
    expect(done == len(handoffs), "%s: the host reached %d of %d handoffs" % (name, done, len(handoffs)))
    with open(transcript, encoding="utf-8") as f:
        calls = [json.loads(line) for line in f if line.strip()]
    expect(calls and calls[-1].get("host") == "unload-result", "%s: the host did not unload the plug-in" % name)
    return calls


def box(modal):
    """A message box as (caption, text)."""
    texts = [c["text"] for c in modal["controls"] if c["class"] == "Static" and c["text"]]
    return modal["caption"], (texts[0] if texts else "")


def between(calls, kind):
    """The host records split at each record of that kind (the records of it left out)."""
    parts = [[]]
    for c in calls:
        if c.get("host") == kind:
            parts.append([])
        elif "host" in c:
            parts[-1].append(c)
    return parts


RESULTS_TABLE = dumped("Результаты расчета", R.IDC_TABLE_LIST)


def listed(folder):
    return [row[1] for row in read_table(folder, dumped("Хроматограммы", R.IDC_ASSAY_LIST))]


def own_sample(ctx, name):
    """A sample data set of this test alone (its files may be damaged), with wine paths."""
    folder = os.path.join(ctx.work, name)
    shutil.rmtree(folder, ignore_errors=True)
    subprocess.run([os.path.join(native_dir(ctx), "tessaro-sample"), "--out", folder, "--windows-paths"],
                   check=True, capture_output=True)
    return os.path.join(folder, "host.db")


def failure_text(where, message, code):
    return "Операция не выполнена (%s).\n\nОшибка базы данных: %s\nКод: %d" % (where, message, code)


# ------------------------------------------------------------------ the database

def test_database_faults(ctx):
    """After two chromatograms are loaded the database goes missing, loses its tables, is
    emptied, overwritten with random bytes, cut short, damaged inside or locked by a writer
    longer than the busy wait. Adding, opening and reloading each end in the failure box with
    SQLite's message and code; the two chromatograms stay listed, the window answers, the
    broken file is not touched and no file is created. With the database mended, everything
    works again, and a lock released within the wait is waited for."""
    folder = scratch(ctx, "database")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    db = os.path.join(folder, "host.db")
    shutil.copyfile(sample_data(ctx), db)
    good = file_digest(db)
    with open(db, "rb") as f:
        good_bytes = f.read()
    other = scratch(ctx, "other.db")
    if os.path.exists(other):
        os.remove(other)
    connection = sqlite3.connect(other)
    connection.execute("CREATE TABLE journal (id INTEGER PRIMARY KEY, text TEXT)")
    connection.execute("INSERT INTO journal (text) VALUES ('не та база')")
    connection.commit()
    connection.close()
    with open(other, "rb") as f:
        other_bytes = f.read()
    noise = random.Random(31371).randbytes(len(good_bytes))
    damaged = good_bytes[:4096] + noise[4096:]  # the schema page intact, every table page garbage

    state = {}

    def write(data):
        def action():
            os.remove(db)
            with open(db, "wb") as f:
                f.write(data)
            state["digest"] = file_digest(db)
        return action

    def gone():
        os.rename(db, db + ".away")
        state["digest"] = None

    def lock():
        writer = sqlite3.connect(db, isolation_level=None, check_same_thread=False)
        writer.execute("BEGIN EXCLUSIVE")
        writer.execute("UPDATE assay SET sample = sample || ' (правка)'")
        state["writer"] = writer
        state["digest"] = good

    # name, how the database is broken, SQLite's message, its code
    breakers = [
        ("missing", gone, "unable to open database file", 14),
        ("no tables", write(other_bytes), "no such table: assay", 1),
        ("empty file", write(b""), "no such table: assay", 1),
        ("random bytes", write(noise[:8192]), "file is not a database", 26),
        ("cut short", write(good_bytes[:len(good_bytes) // 2]), "database disk image is malformed", 11),
        ("damaged pages", write(damaged), "database disk image is malformed", 11),
        ("locked", lock, "database is locked", 5),
    ]
    left = {}

    def mend(name):
        def action():
            left[name] = (sorted(os.listdir(folder)),
                          file_digest(db) if os.path.exists(db) else None, state["digest"])
            if "writer" in state:
                state.pop("writer").execute("ROLLBACK")
            if os.path.exists(db + ".away"):
                os.rename(db + ".away", db)
            else:
                os.remove(db)
                with open(db, "wb") as f:
                    f.write(good_bytes)
        return action

    def lock_briefly():
        lock()
        threading.Timer(0.8, lambda: state.pop("writer").execute("ROLLBACK")).start()

    def dump(name):
        return "dump " + W(scratch(ctx, "database-dumps", name.replace(" ", "-")))

    os.makedirs(scratch(ctx, "database-dumps"), exist_ok=True)
    lines = ["select 1,2", "press IDC_ASSAY_ADD", dump("before"), "state"]
    actions = []
    for name, breaker, _, _ in breakers:
        lines += ["handoff", "select 3", "clock", "press IDC_ASSAY_ADD ok", "clock", "pick IDC_ASSAY_LIST 0",
                  "press IDC_ASSAY_OPEN ok", "press IDC_MAIN_RECALCULATE ok", dump(name), "state", "handoff"]
        actions += [breaker, mend(name)]
    lines += ["handoff", "clock", "press IDC_MAIN_RECALCULATE ok", "clock", "select 3", "press IDC_ASSAY_ADD ok",
              dump("after"), "state"]
    actions += [lock_briefly]
    calls = run_scenario(ctx, "database", lines, actions, ["--db", W(db)])

    dumps = scratch(ctx, "database-dumps")
    before = listed(os.path.join(dumps, "before"))
    expect(len(before) == 2, "loaded before the faults: %r" % before)
    parts = between(calls, "handoff")
    for k, (name, _, message, code) in enumerate(breakers):
        part = parts[2 * k + 1]
        boxes = [box(m) for m in records(part, "modal")]
        want = [("Tessaro", failure_text(where, message, code))
                for where in ("добавление хроматограмм", "открытие хроматограмм", "перезагрузка хроматограмм")]
        expect(len(boxes) == 3, "%s: boxes %r" % (name, boxes))
        for (caption, text), (want_caption, want_text) in zip(boxes, want):
            expect(caption == want_caption and text.startswith(want_text), "%s: box %r, %r" % (name, caption, text))
            rest = text[len(want_text):]
            expect(rest == "" or rest.startswith("\nЗапрос: SELECT "), "%s: box ends with %r" % (name, rest))
        now = listed(os.path.join(dumps, name.replace(" ", "-")))
        expect(now == before, "%s: the list became %r" % (name, now))
        shown = records(part, "state")[0]
        expect(shown["visible"] and shown["caption"], "%s: the window does not answer: %r" % (name, shown))
        files, digest, written = left[name]
        if written is None:
            expect(files == ["host.db.away"], "%s: the folder holds %r" % (name, files))
        else:
            expect(files == ["host.db"] or (name == "locked" and files == ["host.db", "host.db-journal"]),
                   "%s: the folder holds %r" % (name, files))
            expect(digest == written, "%s: the plug-in changed the broken file" % name)
        if name == "locked":
            start, end = records(part, "clock")
            expect(end["ms"] - start["ms"] >= 1900, "the lock was not waited for: %d ms" % (end["ms"] - start["ms"]))

    last = parts[-1]
    start, end = records(last, "clock")
    # Without the wait the reload would fail at once; with it, it ends soon after the lock.
    expect(records(last, "no-modal") and not records(last, "modal"), "a lock of 0.8 s failed the reload: %r" % last)
    expect(end["ms"] - start["ms"] < 1900, "reload under a short lock took %d ms" % (end["ms"] - start["ms"]))
    after = listed(os.path.join(dumps, "after"))
    expect(after[:2] == before and len(after) == 3, "after mending %r" % after)
    expect(file_digest(db) == good, "the host database changed")


def test_database_missing_at_start(ctx):
    """A host whose database path names a folder that does not exist, and a host that names no
    database at all: adding shows the failure box, reloading an empty list reads nothing, the
    window answers, and neither folder nor file appears."""
    missing = scratch(ctx, "нет такой папки")
    shutil.rmtree(missing, ignore_errors=True)
    cases = [("missing folder", ["--db", W(os.path.join(missing, "host.db"))], "unable to open database file"),
             ("no database", [], "no database file name")]
    for n, (name, args, message) in enumerate(cases):
        calls = run_scenario(ctx, "missing-start-%d" % n, ["select 1,2", "press IDC_ASSAY_ADD ok",
                                                            "press IDC_MAIN_RECALCULATE ok", "state"], args=args)
        boxes = [box(m) for m in records(calls, "modal")]
        expect(boxes == [("Tessaro", failure_text("добавление хроматограмм", message, 14))],
               "%s: boxes %r" % (name, boxes))
        expect(len(records(calls, "no-modal")) == 1, "%s: reloading an empty list showed a box" % name)
        expect(records(calls, "state")[0]["visible"], "%s: the window does not answer" % name)
    expect(not os.path.exists(missing), "opening created %s" % missing)


def anonymous_memory(pid):
    """The resident anonymous memory of a process in bytes (what wine counts as its private
    bytes), or None once it is gone."""
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("RssAnon:"):
                    return int(line.split()[1]) * 1024
    except OSError:
        return None
    return None


def folder_bytes(folders):
    total = 0
    for folder in folders:
        for root, _, files in os.walk(folder):
            for name in files:
                try:
                    total += os.lstat(os.path.join(root, name)).st_size
                except OSError:
                    pass  # removed meanwhile
    return total


MEMORY_LIMIT = 100 * 1024 * 1024
TEMP_LIMIT = 10 * 1024 * 1024


def test_hostile_databases(ctx):
    """Host databases made to hang or exhaust the reader (tests/e2e/hostile.py): a view of an
    endless recursion in place of [assay], a view of a billion rows for [peak] to sort, a view
    and a table with a file name of 300 MB, a file name computed for most of an hour. Adding
    chromatogram 1 from each shows the failure box with SQLite's message and code, the window
    answers afterwards, the process's memory (sampled every 20 ms) stays under 100 MB and its
    temporary folders grow by less than 10 MB. With the sample database back, adding works."""
    folder = scratch(ctx, "hostile")
    shutil.rmtree(folder, ignore_errors=True)
    temps = [os.path.join(folder, "temp"), os.path.join(folder, "unix-temp")]
    for t in temps:
        os.makedirs(t)
    drive = os.path.join(winenv.prefix(ctx.arch), "drive_c")
    # The given folders and the prefix's own temporary folders (which wine makes with the prefix).
    watched = lambda: temps + glob.glob(os.path.join(drive, "windows", "temp")) + \
        glob.glob(os.path.join(drive, "users", "*", "AppData", "Local", "Temp"))
    db = os.path.join(folder, "host.db")
    names = list(hostile.CASES)
    phase = {"n": -1}
    peaks = {}  # phase: (memory, temporary bytes)

    def watch(pid):
        memory = anonymous_memory(pid) or 0
        temp = folder_bytes(watched())
        old = peaks.get(phase["n"], (0, 0))
        peaks[phase["n"]] = (max(old[0], memory), max(old[1], temp))

    def make(name):
        def action():
            hostile.make(db, name)
            phase["n"] += 1
        return action

    def mend():
        os.remove(db)
        shutil.copyfile(sample_data(ctx), db)
        phase["n"] += 1

    temp_before = folder_bytes(watched())
    lines = ["env TMP " + W(temps[0]), "env TEMP " + W(temps[0]), "select 1", "counts"]
    for _ in names:
        # Deleting every chromatogram first: an assay row read before its peaks failed stays listed.
        lines += ["handoff", "press IDC_ASSAY_DELETE_ALL", "clock", "press IDC_ASSAY_ADD ok", "clock", "state",
                  "counts"]
    lines += ["handoff", "select 1,2", "press IDC_ASSAY_ADD", "dump " + W(os.path.join(folder, "dump")), "state",
              "counts"]
    actions = [make(n) for n in names] + [mend]
    calls = run_scenario(ctx, "hostile", lines, actions, ["--db", W(db)], timeout=900,
                         env={"TMPDIR": temps[1]}, watch=watch)

    parts = between(calls, "handoff")
    figures = []
    for k, name in enumerate(names):
        part = parts[k + 1]
        boxes = [box(m) for m in records(part, "modal")]
        wants = [failure_text("добавление хроматограмм", message, code) for message, code in hostile.outcomes(name)]
        want = next((w for w in wants if boxes and boxes[0][1].startswith(w)), wants[0])
        expect(len(boxes) == 1 and boxes[0][0] == "Tessaro" and boxes[0][1].startswith(want),
               "%s: boxes %r" % (name, boxes))
        rest = boxes[0][1][len(want):] if boxes else ""
        expect(rest == "" or rest.startswith("\nЗапрос: SELECT "), "%s: the box ends with %r" % (name, rest))
        expect(records(part, "state")[0]["visible"], "%s: the window does not answer" % name)
        start, end = records(part, "clock")
        memory, temp = peaks.get(k, (0, 0))
        private = records(part, "counts")[0]["privateBytes"]
        figures.append((name, end["ms"] - start["ms"], memory, private, temp - temp_before))
    mb = lambda b: b / 1048576.0
    for name, ms, memory, private, temp in figures:
        print("     %-30s box after %5d ms; memory at most %.1f MB (private bytes after %.1f MB); "
              "temporary files %+.1f MB" % (name, ms, mb(memory), mb(private), mb(temp)), flush=True)
    for name, ms, memory, private, temp in figures:
        expect(0 < memory < MEMORY_LIMIT and private < MEMORY_LIMIT, "%s: memory %.1f MB" % (name, mb(memory)))
        expect(temp < TEMP_LIMIT, "%s: temporary files grew by %.1f MB" % (name, mb(temp)))
    last = parts[-1]
    expect(not records(last, "modal") and len(listed(os.path.join(folder, "dump"))) == 2,
           "the sample database did not load after the hostile ones: %r" % records(last, "modal"))


# ------------------------------------------------------------------ chromatogram files

def xml_offset(data):
    return struct.unpack_from("<Q", data, 8)[0] if len(data) >= 16 else 0


def flip(data, positions):
    data = bytearray(data)
    for p in positions:
        data[p] ^= 0xFF
    return bytes(data)


def test_chromatogram_file_faults(ctx):
    """Chromatogram files that are missing, a folder, cut short, with a wrong signature, version
    or sample count, or with bytes flipped in the signal or the passport. Every chromatogram is
    still added, the calculation runs, and with both corrections on the message log names exactly
    the chromatograms whose passport could not be read (as the native reader finds them); no box,
    and neither the files nor the database change."""
    db = own_sample(ctx, "damaged-files")
    folder = os.path.join(os.path.dirname(db), "chromatograms")
    connection = sqlite3.connect(db)
    names = dict(connection.execute("SELECT id, filename FROM assay WHERE ishidden = 0 AND isdeleted = 0"))
    connection.close()
    local = {i: os.path.join(folder, n.replace("\\", "/").rsplit("/", 1)[1]) for i, n in names.items()}
    rng = random.Random(20201)

    def read(i):
        with open(local[i], "rb") as f:
            return f.read()

    def xml_part(data, count):
        start = xml_offset(data)
        return rng.sample(range(start, len(data)), count)

    damages = {
        1: None,  # missing
        2: "folder",
        3: b"",
        4: lambda d: d[:10],
        5: lambda d: d[:len(d) // 2],
        6: lambda d: d[:-1],
        7: lambda d: b"STX" + d[3:],
        8: lambda d: d[:3] + b"\x07" + d[4:],
        9: lambda d: d[:40] + struct.pack("<Q", 0xFFFFFFFF) + d[48:],
        10: lambda d: flip(d, rng.sample(range(16 + 32, xml_offset(d)), 64)),  # the signal only
        11: lambda d: d.replace(b'<atmpressure value="', b'<atmpressure value="x'),
    }
    for i in range(12, 21):  # a few bytes flipped in the XML part
        damages[i] = (lambda count: lambda d: flip(d, xml_part(d, count)))(1 + (i - 12) * 3)
    for i, damage in damages.items():
        data = read(i)
        os.remove(local[i])
        if damage == "folder":
            os.makedirs(local[i])
        elif damage is not None:
            with open(local[i], "wb") as f:
                f.write(damage if isinstance(damage, bytes) else damage(data))

    # What the native reader makes of each file: unreadable, or its passport values; which
    # chromatograms the pressure and the temperature correction then have to leave out.
    no_pressure, no_temperature = set(), set()
    tool = os.path.join(native_dir(ctx), "tessaro-file")
    for i, path in local.items():
        run = subprocess.run([tool, "info", path], capture_output=True)
        info = json.loads(run.stdout.decode("utf-8") or "{}")
        name = os.path.basename(path)
        if "error" in info:
            no_pressure.add(name)
            no_temperature.add(name)
            continue
        pressure, temperature = info["passport"]["atmpressure"], info["passport"]["airtemp"]
        if not (isinstance(pressure, (int, float)) and math.isfinite(pressure) and pressure > 0):
            no_pressure.add(name)
        if (pressure == 0 and temperature == 0) or not (isinstance(temperature, (int, float)) and
                                                        math.isfinite(temperature) and temperature > -273.15):
            no_temperature.add(name)
    expect({"assay-001.chr", "assay-002.chr", "assay-003.chr", "assay-008.chr", "assay-011.chr"} <= no_pressure
           and "assay-010.chr" not in no_pressure and "assay-011.chr" not in no_temperature,
           "the native reader found %r, %r" % (sorted(no_pressure), sorted(no_temperature)))
    digests = {p: (file_digest(p) if os.path.isfile(p) else None) for p in local.values()}
    db_digest = file_digest(db)

    profile = scratch(ctx, "corrections-profile.txt")
    with open(profile, "w", encoding="utf-8") as f:
        f.write("int\tplugins\\Tessaro\\ProgramSettings/enPressCorrect\t1\n"
                "int\tplugins\\Tessaro\\ProgramSettings/enTempCorrect\t1\n")
    dumps = scratch(ctx, "damaged-dumps")
    calls = run_scenario(ctx, "damaged-files", ["select all", "press IDC_ASSAY_ADD ok", "recalculate",
                                                "dump " + W(dumps), "text IDC_LOG_TEXT", "state"],
                         args=["--db", W(db)], profile=profile)
    expect(records(calls, "no-modal") and not records(calls, "modal"),
           "adding showed a box: %r" % records(calls, "modal"))
    expect(len(listed(dumps)) == len(local), "listed %d of %d" % (len(listed(dumps)), len(local)))
    results = read_table(dumps, RESULTS_TABLE)
    expect(len(results) > 10, "the calculation gave %d rows" % len(results))
    log = records(calls, "text")[0]["text"]
    for heading, want in (
            ("Коррекция по давлению проведена не полностью! В следующих хроматограмах не заданно давление:",
             no_pressure),
            ("Коррекция по температуре проведена не полностью! В следующих хроматограмах не заданна температура:",
             no_temperature)):
        named = set(re.findall(r"- файл: (?:[^,]*\\)?([^,\\]+),", logged_items(log, heading)))
        expect(named == want, "%s names %r, the reader finds %r" % (heading[:30], sorted(named), sorted(want)))
    expect(records(calls, "state")[0]["visible"], "the window does not answer")
    expect({p: (file_digest(p) if os.path.isfile(p) else None) for p in local.values()} == digests,
           "a chromatogram file changed")
    expect(file_digest(db) == db_digest, "the host database changed")


def logged_items(log, heading):
    """The item lines of the log message with that text."""
    lines = log.split("\r\n")
    for n, line in enumerate(lines):
        if line == "\t" + heading:
            items = []
            for item in lines[n + 1:]:
                if not item.startswith("\t- "):
                    break
                items.append(item)
            return "\n".join(items)
    raise Failure("no message %r in the log:\n%s" % (heading, log))


# ------------------------------------------------------------------ the host

def test_no_profile_road(ctx):
    """A host without the Profile services: every chromatogram added gives the results the
    command-line check prints; the settings, components and column choices hold for the
    session; the report is written; the plug-in never calls a Profile service."""
    database = sample_data(ctx)
    digest = file_digest(database)
    dumps = scratch(ctx, "no-profile")
    shutil.rmtree(dumps, ignore_errors=True)
    reports = os.path.join(dumps, "reports")
    os.makedirs(reports)
    lines = ["select all", "press IDC_ASSAY_ADD", "recalculate", "dump " + W(os.path.join(dumps, "1")),
             "press IDC_MAIN_SETTINGS ok set:IDC_SET_DIGITS_PROGRAM=5", "dump " + W(os.path.join(dumps, "2")),
             "press IDC_MAIN_SETTINGS cancel",
             "press IDC_MAIN_COMPONENTS ok edit:IDC_COMP_LIST:3:2=iC4", "press IDC_MAIN_COMPONENTS cancel",
             "menu IDC_MAIN_LOWER_TABS 2 IDC_TABLE_LIST 5", "menu IDC_MAIN_LOWER_TABS 2 IDC_TABLE_LIST",
             "press IDC_MAIN_REPORT ok set:IDC_REP_DEVICE=Хром-5 set:IDC_REP_OPERATOR=Петров "
             "check:IDC_REP_ASSAYS=1 check:IDC_REP_MIXTURES=1 check:IDC_REP_MIXTURE_INFO=1 "
             "check:IDC_REP_RESULTS=1 check:IDC_REP_GRAPH=1 click:IDC_REP_REPORT", "press IDC_MAIN_REPORT cancel",
             "state"]
    calls = run_scenario(ctx, "no-profile", lines, args=["--db", W(database), "--no-profile",
                                                          "--report-out", W(reports)])
    profile_calls = [c for c in calls if c.get("call") == "CallService" and c["name"].startswith("Profile/")]
    expect(profile_calls == [], "Profile services called: %r" % profile_calls[:3])

    folder = os.path.join(ctx.work, "sample-native")
    if not os.path.exists(os.path.join(folder, "host.db")):
        subprocess.run([os.path.join(native_dir(ctx), "tessaro-sample"), "--out", folder], check=True,
                       capture_output=True)
    check = subprocess.run([os.path.join(native_dir(ctx), "tessaro-check"), "--db", os.path.join(folder, "host.db")],
                           check=True, capture_output=True).stdout.decode("utf-8")
    _, printed = aligned_table(check)
    shown = read_table(os.path.join(dumps, "1"), RESULTS_TABLE)
    expect(shown == printed, "without a profile the results differ:\n%s\n---\n%s" % (shown[:3], printed[:3]))
    five = read_table(os.path.join(dumps, "2"), RESULTS_TABLE)
    expect(len(five[0][4].split(".")[1]) == 5, "the settings' 5 digits did not hold: %r" % five[0])
    modals = records(calls, "modal")
    settings = [controls(m) for m in modals if m["caption"] == "Настройки"]
    digits = settings[1][R.IDC_SET_DIGITS_PROGRAM]["text"]
    expect(digits == "5", "the settings dialog shows %r again" % digits)
    rows = [controls(m)[R.IDC_COMP_LIST]["rows"] for m in modals if m["caption"] == "Компоненты"][1]
    expect(rows[3] == ["4", "Изобутан", "iC4"], "components after OK %r" % rows[3])
    hidden = records(calls, "menu")[1]
    expect(not hidden["items"][5]["checked"] and hidden["widths"][5] == 0, "the column came back: %r" % hidden)
    expect(records(calls, "no-box"), "the report showed a box: %r" % modals[-2:])
    report_dialog = [m for m in modals if m["caption"] == "Отчет"][1]
    kept = {c["id"]: c["text"] for c in report_dialog["controls"]}
    expect(kept[R.IDC_REP_DEVICE] == "Хром-5" and kept[R.IDC_REP_OPERATOR] == "Петров",
           "the report dialog forgot %r" % kept)
    written = os.listdir(reports)
    expect(len(written) == 1, "reports %r" % written)
    with zipfile.ZipFile(os.path.join(reports, written[0])) as package:
        content = package.read("content.xml").decode("utf-8")
        expect("Петров" in content and any(n.startswith("Pictures/") for n in package.namelist()),
               "the report lacks its operator or picture")
    expect(records(calls, "state")[0]["visible"], "the window does not answer")
    expect(file_digest(database) == digest, "the host database changed")


def many_assays_db(ctx, count):
    """The sample database with visible copies of its chromatograms up to `count` visible ones."""
    db = scratch(ctx, "many.db")
    shutil.copyfile(sample_data(ctx), db)
    connection = sqlite3.connect(db)
    visible = [r[0] for r in connection.execute("SELECT id FROM assay WHERE ishidden = 0 AND isdeleted = 0 "
                                                "AND mixture <> '' ORDER BY id")]
    have = connection.execute("SELECT count(*) FROM assay WHERE ishidden = 0 AND isdeleted = 0").fetchone()[0]
    next_id = connection.execute("SELECT max(id) FROM assay").fetchone()[0] + 1
    for n in range(count - have):
        source = visible[n % len(visible)]
        connection.execute("INSERT INTO assay (id, date, filename, sample, mixture, ishidden, isdeleted) "
                           "SELECT ?, date + ?, filename, sample || ' (копия)', mixture, 0, 0 FROM assay WHERE id = ?",
                           (next_id + n, 60 * (n + 1), source))
        connection.execute("INSERT INTO peak (assayid, nameid, name, area, time, channel) "
                           "SELECT ?, nameid, name, area, time, channel FROM peak WHERE assayid = ?",
                           (next_id + n, source))
    connection.commit()
    connection.close()
    return db


def test_selection_beyond_the_buffer(ctx):
    """The host's selection fills the plug-in's buffer of 256 ids and answers how many were
    chosen. 256 ids are loaded (the hidden and deleted among them left out); 257, or every one of
    300 visible chromatograms, load nothing and say why in a box, and what was listed stays."""
    db = many_assays_db(ctx, 300)
    digest = file_digest(db)
    dumps = scratch(ctx, "many-dumps")
    shutil.rmtree(dumps, ignore_errors=True)
    os.makedirs(dumps)
    ids = lambda n: ",".join(str(i) for i in range(1, n + 1))
    lines = ["select " + ids(257), "press IDC_ASSAY_ADD ok", "state", "dump " + W(os.path.join(dumps, "257")),
             "select " + ids(256), "press IDC_ASSAY_ADD ok", "state", "dump " + W(os.path.join(dumps, "256")),
             "select all", "press IDC_ASSAY_ADD ok", "state", "dump " + W(os.path.join(dumps, "all"))]
    calls = run_scenario(ctx, "many", lines, args=["--db", W(db)], timeout=900)
    asked = [c for c in calls if c.get("name") == "Main/OpenAssayIdDlgEx" and c.get("call") == "CallService"]
    expect([(c["capacity"], c["result"]) for c in asked] == [(256, 257), (256, 256), (256, 300)],
           "the selection calls %r" % [(c["capacity"], c["result"]) for c in asked])
    boxes = [box(m) for m in records(calls, "modal")]
    text = "Выбрано хроматограмм: %d.\nЗа один раз можно добавить не более 256. Хроматограммы не добавлены."
    expect(boxes == [("Tessaro", text % 257), ("Tessaro", text % 300)], "boxes %r" % boxes)
    first, loaded, refused = records(calls, "state")
    expect(listed(os.path.join(dumps, "257")) == [] and first["recalculations"] == 1,
           "257 ids loaded or recalculated: %r" % first["recalculations"])
    expect(len(listed(os.path.join(dumps, "256"))) == 252 and loaded["recalculations"] == 2,
           "256 ids gave %d rows" % len(listed(os.path.join(dumps, "256"))))
    expect(listed(os.path.join(dumps, "all")) == listed(os.path.join(dumps, "256")) and
           refused["recalculations"] == 2, "refusing 300 changed the list")
    expect(refused["visible"], "the window does not answer")
    expect(file_digest(db) == digest, "the host database changed")


def test_selection_of_nothing_visible(ctx):
    """Ids that are hidden, deleted, unknown, 0 or negative add nothing, say nothing and
    request no recalculation; chromatograms hidden and deleted in the database after they were
    added are not added again and leave the list with the next reload."""
    db = scratch(ctx, "hidden.db")
    shutil.copyfile(sample_data(ctx), db)
    dumps = scratch(ctx, "hidden-dumps")
    shutil.rmtree(dumps, ignore_errors=True)
    os.makedirs(dumps)
    state = {}

    def hide():
        connection = sqlite3.connect(db)
        connection.execute("UPDATE assay SET ishidden = 1 WHERE id = 1")
        connection.execute("UPDATE assay SET isdeleted = 1 WHERE id = 2")
        connection.commit()
        connection.close()
        state["digest"] = file_digest(db)

    dump = lambda n: "dump " + W(os.path.join(dumps, n))
    lines = ["select 1,2,3", "press IDC_ASSAY_ADD", "state", dump("start"),
             "select 26,27,28,29", "press IDC_ASSAY_ADD ok", "state", dump("hidden"),
             "select 999,0,-5,4294967297,26", "press IDC_ASSAY_ADD ok", "state", dump("unknown"),
             "handoff", "select 1,2", "press IDC_ASSAY_ADD ok", "state", dump("hidden-later"),
             "press IDC_MAIN_RECALCULATE ok", "state", dump("reloaded")]
    calls = run_scenario(ctx, "hidden", lines, [hide], ["--db", W(db)])
    expect(not records(calls, "modal") and len(records(calls, "no-modal")) == 4, "a box: %r" % records(calls, "modal"))
    states = [s["recalculations"] for s in records(calls, "state")]
    expect(states == [2, 2, 2, 2, 3], "recalculations %r" % states)
    start = listed(os.path.join(dumps, "start"))
    expect(len(start) == 3, "start %r" % start)
    for name in ("hidden", "unknown", "hidden-later"):
        now = listed(os.path.join(dumps, name))
        expect(now == start, "%s: the list became %r" % (name, now))
    reloaded = listed(os.path.join(dumps, "reloaded"))
    expect(reloaded == start[2:], "after the reload %r" % reloaded)
    expect(file_digest(db) == state["digest"], "the host database changed")


# ------------------------------------------------------------------ the report

REPORT_FAILED = "Ошибка формирования отчета"


def test_report_faults(ctx):
    """The report with every section, twice in one dialog: a missing template (-1), a host
    temporary file that cannot be made (-2) and a process temporary folder that does not exist
    (-2) answer with their boxes each time and the dialog stays open; the picture, drawn before
    the export, stays in a working temporary folder
    (with the deviation picture beside it). When only the plug-in's working folder
    cannot be made the report is written without its picture and nothing is said. No report is
    written on a failure, the loaded data stay and the window answers."""
    database = sample_data(ctx)
    digest = file_digest(database)
    base = scratch(ctx, "report")
    shutil.rmtree(base, ignore_errors=True)
    folders = {n: os.path.join(base, n) for n in ("no-templates", "reports", "plugin-temp", "host-temp")}
    for d in folders.values():
        os.makedirs(d)
    plain = os.path.join(base, "a file")
    with open(plain, "w") as f:
        f.write("not a folder")
    missing = os.path.join(base, "no-temp")
    report = ("press IDC_MAIN_REPORT ok check:IDC_REP_ASSAYS=1 check:IDC_REP_MIXTURES=1 "
              "check:IDC_REP_MIXTURE_INFO=1 check:IDC_REP_RESULTS=1 check:IDC_REP_GRAPH=1 "
              "click:IDC_REP_REPORT click:IDC_REP_REPORT")
    no_template = " - Не удалось найти шаблон отчета.\r\n - Отсутствует плагин формирования ODT отчетов.\r\n"
    no_temp_file = " - Не удалось создать временный файл.\r\n"
    # name, host options, the process's TMP, the result, the cause shown, pictures drawn
    cases = [
        ("template missing", ["--templates", W(folders["no-templates"])], folders["plugin-temp"], -1, no_template, 2),
        ("host temporary file", ["--temp", W(plain)], folders["plugin-temp"], -2, no_temp_file, 2),
        ("no temporary folder", [], missing, -2, no_temp_file, 0),
        ("no working folder", ["--temp", W(folders["host-temp"])], missing, 0, None, 0),
    ]
    for n, (name, options, temp, code, cause, pictures) in enumerate(cases):
        before = set(os.listdir(folders["plugin-temp"]))
        dumps = os.path.join(base, "dumps-%d" % n)
        calls = run_scenario(ctx, "report-%d" % n,
                             ["select all", "press IDC_ASSAY_ADD", "env TMP " + W(temp), "env TEMP " + W(temp),
                              report,
                              "dump " + W(dumps), "state"],
                             args=["--db", W(database), "--report-out", W(folders["reports"])] + options)
        exports = [c for c in calls if c.get("call") == "CallService" and c.get("name") == "Export/ExportToOdt"]
        expect(len(exports) == 2, "%s: %d exports" % (name, len(exports)))
        shown = [box(m) for m in records(calls, "modal") if m["caption"] != "Отчет"]
        written = sorted(os.listdir(folders["reports"]))
        if cause:
            text = "Ошибка формирования отчета! Код ошибки: %d \r\nВозможные причины:\r\n%s" % (code, cause)
            expect(shown == [(REPORT_FAILED, text)] * 2, "%s: boxes %r" % (name, shown))
            expect(written == [], "%s: a report was written" % name)
        else:
            expect(shown == [] and len(records(calls, "no-box")) == 2, "%s: boxes %r" % (name, shown))
            expect(len(written) == 2, "%s: reports %r" % (name, written))
            with zipfile.ZipFile(os.path.join(folders["reports"], written[-1])) as package:
                expect(not any(p.startswith("Pictures/") for p in package.namelist()), "%s: a picture" % name)
                expect("Результаты проверки" in package.read("content.xml").decode("utf-8"), "%s: no results" % name)
        made = set(os.listdir(folders["plugin-temp"])) - before
        expect(len(made) == 2 * pictures and all(m.startswith("tvk") for m in made),
               "%s: working folders %r" % (name, made))
        for folder in (m for m in made if m.endswith(".cat")):
            expect(sorted(os.listdir(os.path.join(folders["plugin-temp"], folder))) ==
                   ["TessaroDeviations.png", "TessaroGraph.png"],
                   "%s: %s" % (name, folder))
        expect(not os.path.exists(missing), "%s: the missing temporary folder was made" % name)
        expect(os.listdir(folders["host-temp"]) == [], "%s: the host left a temporary file" % name)
        expect(len(listed(dumps)) == 26, "%s: the chromatograms went" % name)
        expect(records(calls, "state")[0]["visible"], "%s: the window does not answer" % name)
    expect(file_digest(database) == digest, "the host database changed")


def test_failed_steps_restore_the_lists(ctx):
    """Adding, opening and reloading that fail with no memory after they have run (armed through
    the simulated host's test service): each ends in the failure box after the recalculation it
    asks for; the chromatogram and mixture lists are as before the step, the intermediate page
    shows every mixture as before, and the window answers. Without the test service (a real
    host) nothing can be made to fail."""
    folder = scratch(ctx, "failed-steps")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    dump = lambda name: "dump " + W(os.path.join(folder, name))
    def steps(name):
        walk = []
        for m in range(2):
            walk += ["choose Промежуточные расчеты IDC_CALC_MIXTURE %d" % m, dump("%s-%d" % (name, m))]
        return [dump(name)] + walk + ["state"]
    lines = ["select 1,2,6,7", "press IDC_ASSAY_ADD", "tab IDC_MAIN_UPPER_TABS 1", "tab IDC_MAIN_UPPER_TABS 0",
             "tab IDC_MAIN_LOWER_TABS 2"] + steps("before")
    lines += ["failnext", "press IDC_MAIN_RECALCULATE ok"] + steps("reload")
    lines += ["failnext", "select 11,12", "press IDC_ASSAY_ADD ok"] + steps("add")
    lines += ["failnext", "pick IDC_ASSAY_LIST 0", "press IDC_ASSAY_OPEN ok"] + steps("open")
    calls = run_scenario(ctx, "failed-steps", lines, args=["--db", W(sample_data(ctx))])
    expect([r["answer"] for r in records(calls, "failnext")] == [1, 1, 1], "failnext %r" % records(calls, "failnext"))
    boxes = [box(m) for m in records(calls, "modal")]
    want = [("Tessaro", "Операция не выполнена (%s).\n\nНедостаточно памяти." % where)
            for where in ("перезагрузка хроматограмм", "добавление хроматограмм", "открытие хроматограмм")]
    expect(boxes == want, "boxes %r" % boxes)
    states = records(calls, "state")
    recalculations = [s["recalculations"] for s in states]
    expect(all(b == a + 1 for a, b in zip(recalculations, recalculations[1:])),
           "one recalculation per failed step: %r" % recalculations)
    for name in ("reload", "add", "open"):
        expect(states[["before", "reload", "add", "open"].index(name)]["visible"], "%s: the window is gone" % name)
        for table in os.listdir(os.path.join(folder, "before")):
            if table.startswith("Промежуточные"):
                continue  # its selection is walked below
            now, then = read_table(os.path.join(folder, name), table), read_table(os.path.join(folder, "before"), table)
            expect(now == then, "%s: %s differs from before the step:\n%r\n%r" % (name, table, now, then))
        intermediate = dumped("Промежуточные расчеты", R.IDC_TABLE_LIST)
        for m in range(2):
            expect(read_table(os.path.join(folder, "%s-%d" % (name, m)), intermediate) ==
                   read_table(os.path.join(folder, "before-%d" % m), intermediate),
                   "%s: the intermediate page of mixture %d differs" % (name, m))
    expect(len(listed(os.path.join(folder, "before"))) == 4, "before: %r" % listed(os.path.join(folder, "before")))

    # A host without the test service: the messages are refused and nothing fails.
    calls = run_scenario(ctx, "failed-steps-unarmed", ["select 1,2", "press IDC_ASSAY_ADD", "failnext",
                                                       "press IDC_MAIN_RECALCULATE ok", "fail"],
                         args=["--db", W(sample_data(ctx)), "--withdraw", "Tessaro/TestHooks"])
    expect([r["answer"] for r in records(calls, "failnext")] == [0], "unarmed failnext %r" % records(calls, "failnext"))
    expect(records(calls, "alive")[0]["answer"] == 0, "unarmed fail %r" % records(calls, "alive"))
    expect(not records(calls, "modal"), "unarmed: boxes %r" % [box(m) for m in records(calls, "modal")])


FAULT_TESTS = [test_database_faults, test_failed_steps_restore_the_lists, test_database_missing_at_start,
               test_hostile_databases, test_chromatogram_file_faults,
               test_no_profile_road, test_selection_beyond_the_buffer, test_selection_of_nothing_visible,
               test_report_faults]
