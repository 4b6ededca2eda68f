#!/usr/bin/env python3
"""The main job's copy of a user's host database: the user's file (and its write-ahead log) is
left byte for byte as it was, the copy for wine holds every row, the pages still in the log
included, and names the files as the original does; the native copy turns each Windows drive
path into the file that drive stands for in the wine prefix; a file that is no database ends
with a message and status 2."""
import os
import shutil
import sqlite3
import subprocess
import sys
import tempfile

script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "user_db.py")
failed = 0


def expect(ok, what):
    global failed
    print(("ok   " if ok else "FAIL ") + what)
    failed += 0 if ok else 1


def run(*args):
    return subprocess.run([sys.executable, script] + list(args), capture_output=True, text=True)


def files_of(path):
    found = {}
    for suffix in ("", "-wal"):  # the -shm index is a reader's scratch memory, not data
        if os.path.exists(path + suffix):
            with open(path + suffix, "rb") as f:
                found[suffix] = f.read()
    return found


work = tempfile.mkdtemp(prefix="user-db-")
prefix = os.path.join(work, "prefix")
os.makedirs(os.path.join(prefix, "drive_c"))
os.makedirs(os.path.join(prefix, "dosdevices"))
os.symlink("../drive_c", os.path.join(prefix, "dosdevices", "c:"))
os.symlink("/", os.path.join(prefix, "dosdevices", "z:"))

NAMES = [  # as the database names the file, and the native file it stands for
    ("Z:\\data\\run 1.nvf", "/data/run 1.nvf"),
    ("c:/Norvane/Data//run2.nvf", os.path.join(os.path.realpath(prefix), "drive_c", "Norvane", "Data", "run2.nvf")),
    ("D:\\no drive here.nvf", "D:\\no drive here.nvf"),
    ("\\\\server\\share\\run.nvf", "\\\\server\\share\\run.nvf"),
    ("relative.nvf", "relative.nvf"),
    (None, None),
]
source = os.path.join(work, "my host.db")
writer = sqlite3.connect(source)
writer.execute("PRAGMA journal_mode=WAL;")
writer.execute("PRAGMA wal_autocheckpoint=0;")
writer.execute("CREATE TABLE assay (id INTEGER PRIMARY KEY, filename TEXT, ishidden INTEGER, isdeleted INTEGER);")
writer.execute("CREATE TABLE mixture (id INTEGER PRIMARY KEY);")
writer.executemany("INSERT INTO assay (filename, ishidden, isdeleted) VALUES (?, 0, 0);", [(n,) for n, _ in NAMES])
writer.commit()  # the rows are in the log only: no checkpoint while the writer is open
before = files_of(source)
expect("-wal" in before, "the rows wait in the write-ahead log")

wine_copy, native_copy = os.path.join(work, "wine.db"), os.path.join(work, "native.db")
done = run(source, wine_copy, native_copy, prefix)
expect(done.returncode == 0 and "6 chromatograms" in done.stdout, "the copy is made: %r %r" % (done.stdout, done.stderr))
expect(files_of(source) == before, "the user's database and its log are left as they were")
writer.close()
rows = lambda db: [r[0] for r in sqlite3.connect(db).execute("SELECT filename FROM assay ORDER BY id;")]
expect(rows(wine_copy) == [n for n, _ in NAMES], "the wine copy names the files as the original: %r" % rows(wine_copy))
expect(rows(native_copy) == [m for _, m in NAMES], "the native copy: %r" % rows(native_copy))

garbage = os.path.join(work, "notes.db")
with open(garbage, "wb") as f:
    f.write(b"not a database at all" * 100)
for args, why in (([garbage], "a file that is no database"), ([os.path.join(work, "none.db")], "a missing file")):
    done = run(*(args + [wine_copy + ".x", native_copy + ".x", prefix]))
    expect(done.returncode == 2 and done.stderr.startswith("main job: ") and "Traceback" not in done.stderr,
           "%s ends with a message: %r" % (why, done.stderr))

shutil.rmtree(work, ignore_errors=True)
print("user-db: %d failed" % failed)
sys.exit(1 if failed else 0)
