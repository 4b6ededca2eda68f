"""Host databases made to hang a reader or exhaust its memory or disk, built with the system's
SQLite. Each holds chromatogram 1 (or a view in place of a table) such that reading it as the
plug-in does would never end, would sort a billion rows, would allocate hundreds of megabytes or
would compute one value for most of an hour; the plug-in must refuse each with SQLite's error.
Used by the end-to-end tests and by the command-line check's test."""
import os
import sqlite3

TABLES = {
    "mixture": "CREATE TABLE mixture (id INTEGER PRIMARY KEY, name TEXT, ballon TEXT, release INTEGER, expiry INTEGER)",
    "mixturecomp": "CREATE TABLE mixturecomp (id INTEGER PRIMARY KEY, mixtureid INTEGER, nameid INTEGER, name TEXT,"
                   " concentration REAL, deviation REAL)",
    "assay": "CREATE TABLE assay (id INTEGER PRIMARY KEY, date INTEGER, filename TEXT, sample TEXT, mixture TEXT,"
             " ishidden INTEGER NOT NULL DEFAULT 0, isdeleted INTEGER NOT NULL DEFAULT 0)",
    "peak": "CREATE TABLE peak (id INTEGER PRIMARY KEY, assayid INTEGER, nameid INTEGER, name TEXT, area REAL,"
            " time REAL, channel INTEGER)",
}
ASSAY_ROW = "INSERT INTO assay VALUES (1, 1710228600, 'C:\\none.chr', 'проба', '', 0, 0)"
ENDLESS = "WITH RECURSIVE endless(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM endless)"
BILLION = "WITH RECURSIVE billion(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM billion WHERE i < 1000000000)"
ASSAY_COLUMNS = "0 AS date, 's' AS sample, '' AS mixture, 0 AS ishidden, 0 AS isdeleted"
MB = 1 << 20

# name: (what stands in for the host's tables, SQLite's message, its code)
CASES = {
    "endless assay view": (
        {"assay": "CREATE VIEW assay AS %s SELECT i AS id, 'x' AS filename, %s FROM endless" % (ENDLESS, ASSAY_COLUMNS)},
        "no such table: main.endless", 1),
    "billion peaks to sort": (
        {"peak": "CREATE VIEW peak AS %s SELECT 1 AS assayid, i AS nameid, 'Метан' AS name, 1.0 AS area,"
                 " random() AS time, 0 AS channel FROM billion" % BILLION, "rows": ASSAY_ROW},
        "no such table: main.billion", 1),
    "300 MB file name view": (
        {"assay": "CREATE VIEW assay AS SELECT 1 AS id, printf('%%.*c', %d, 'x') AS filename, %s"
                  % (300 * MB, ASSAY_COLUMNS)},
        'access to view "assay" prohibited', 1),
    "computed file name": (
        # trim() of two 1 MB texts runs some 45 minutes in one step of SQLite. The column is added
        # after the row: an INSERT would compute it.
        {"assay": "CREATE TABLE assay (id INTEGER PRIMARY KEY, date INTEGER, sample TEXT, mixture TEXT,"
                  " ishidden INTEGER, isdeleted INTEGER)",
         "rows": "INSERT INTO assay VALUES (1, 0, 's', '', 0, 0)",
         "then": "ALTER TABLE assay ADD COLUMN filename TEXT GENERATED ALWAYS AS"
                 " (trim(printf('%%.*c', %d, 'a'), printf('%%.*c', %d, 'b') || 'a')) VIRTUAL" % (MB, MB)},
        "access to assay.filename is prohibited", 23),
    "40 MB of peaks to sort": (
        # A plain table: sorting its rows by time needs more memory than SQLite may use.
        {"rows": ASSAY_ROW, "then": "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000)"
                                    " INSERT INTO peak (assayid, nameid, name, area, time, channel)"
                                    " SELECT 1, i, printf('%.*c', 1000, 'x'), 1.0, random(), 0 FROM n"},
        "out of memory", 7),
    "300 MB file name in the table": (
        # The name is the row's last column, so SQLite writes its zeros without holding them.
        {"assay": "CREATE TABLE assay (id INTEGER PRIMARY KEY, date INTEGER, sample TEXT, mixture TEXT,"
                  " ishidden INTEGER, isdeleted INTEGER, filename BLOB)",
         "rows": "INSERT INTO assay VALUES (1, 0, 's', '', 0, 0, zeroblob(%d))" % (300 * MB)},
        "string or blob too big", 18),
}
# Cases that two bounds may end: sorting 40 MB of peaks runs out of SQLite's memory in about a
# second on a quiet machine, but on a loaded one its 3 s of query time may run out first. Either
# way the query ends with its error.
ALSO = {"40 MB of peaks to sort": [("the database query took too long", 9)]}


def outcomes(name):
    """The (message, code) pairs the plug-in may answer that case with."""
    _, message, code = CASES[name]
    return [(message, code)] + ALSO.get(name, [])


# The cases cheap enough for a unit-labelled test: no 300 MB file on disk.
LIGHT = ["endless assay view", "billion peaks to sort", "300 MB file name view", "computed file name"]


def make(path, name):
    """Writes the hostile database of that case at path (replacing what is there)."""
    if os.path.exists(path):
        os.remove(path)
    replaced = CASES[name][0]
    connection = sqlite3.connect(path)
    for table, create in TABLES.items():
        connection.execute(replaced.get(table, create))
    for step in ("rows", "then"):
        if step in replaced:
            connection.execute(replaced[step])
    connection.commit()
    connection.close()
