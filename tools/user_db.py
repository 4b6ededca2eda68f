#!/usr/bin/env python3
"""Prepares a host database of the user's for the main job, leaving the user's file as it is.

  user_db.py SOURCE WINE-COPY NATIVE-COPY [WINEPREFIX]

WINE-COPY is a consistent copy of SOURCE (SQLite's online backup, so a database in
write-ahead mode comes with its unsaved pages): the plug-in reads it under wine,
with the chromatogram files as the database names them. NATIVE-COPY is the same
copy with every chromatogram path that names a Windows drive turned into the
native path that drive stands for in the wine prefix (Z: is the root), so that the
native check reads the same files. Prints what the database holds and how many of
its chromatogram files are there. Exit 0, or 2 with a message when SOURCE is not
a database that can be read."""
import os
import re
import sqlite3
import sys
from contextlib import closing

DRIVE = re.compile(r"^([A-Za-z]):[\\/](.*)$")


def native_path(path, prefix):
    """The native file a Windows path stands for under wine, or the path itself."""
    match = DRIVE.match(path or "")
    if not match:
        return path
    drive = os.path.join(prefix, "dosdevices", match.group(1).lower() + ":")
    if match.group(1).lower() == "z" and not os.path.exists(drive):
        root = "/"
    elif os.path.exists(drive):
        root = os.path.realpath(drive)
    else:
        return path
    return os.path.join(root, *[p for p in re.split(r"[\\/]+", match.group(2)) if p])


def copy(source, target):
    """The source opened read-only, so the user's file is never written."""
    if os.path.exists(target):
        os.remove(target)
    uri = "file:%s?mode=ro" % source.replace("%", "%25").replace("?", "%3f").replace("#", "%23")
    with closing(sqlite3.connect(uri, uri=True)) as src, closing(sqlite3.connect(target)) as dst:
        src.backup(dst)


def count(db, sql):
    try:
        return db.execute(sql).fetchone()[0]
    except sqlite3.Error:
        return None


def main():
    if len(sys.argv) not in (4, 5):
        print(__doc__.splitlines()[2].strip(), file=sys.stderr)
        return 2
    source, wine_copy, native_copy = sys.argv[1:4]
    prefix = sys.argv[4] if len(sys.argv) == 5 else os.environ.get("WINEPREFIX", "")
    if not os.path.isfile(source):
        print("main job: no database file %s" % source, file=sys.stderr)
        return 2
    try:
        copy(source, wine_copy)
        copy(source, native_copy)
        with closing(sqlite3.connect(native_copy)) as db:
            rows = db.execute("SELECT id, filename FROM assay;").fetchall()
            mapped = [(native_path(name, prefix), id) for id, name in rows if isinstance(name, str)]
            db.executemany("UPDATE assay SET filename = ? WHERE id = ?;", mapped)
            db.commit()
            mixtures = count(db, "SELECT count(*) FROM mixture;")
            visible = count(db, "SELECT count(*) FROM assay WHERE ishidden = 0 AND isdeleted = 0;")
    except sqlite3.Error as e:
        print("main job: %s is not a host database that can be read: %s" % (source, e), file=sys.stderr)
        return 2
    found = sum(1 for name, _ in mapped if os.path.isfile(name))
    print("  %s: %d chromatograms (%s visible), %s mixtures; %d of the %d chromatogram files are there"
          % (source, len(rows), "?" if visible is None else visible, "?" if mixtures is None else mixtures,
             found, len(mapped)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
