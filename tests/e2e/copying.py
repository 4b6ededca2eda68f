"""End-to-end checks of copying the lists: Ctrl+C and the context menu's "Копировать" put on the
clipboard, as tab-separated text, exactly the rows the list shows (the selected ones, or all),
with the headings of the shown columns; the graph page adds the chart as a picture; a busy
clipboard is told in a box and leaves the clipboard as it was; in a cell's editor Ctrl+C copies
the editor's text."""
import os

import winenv
from common import R, artefacts_dir, dumped, expect, read_table, records, sample_data

W = winenv.Wine.path
UPPER, LOWER = "IDC_MAIN_UPPER_TABS", "IDC_MAIN_LOWER_TABS"

# Every list of the main window: its strip, tab, list id, and the page caption the dump names it by.
# The lower pages first: showing the mixture tab again rebuilds its list and empties the mixture
# information, as it does for a person.
LISTS = [
    (LOWER, 0, "IDC_TABLE_LIST", "Инфо. по хрм."),
    (LOWER, 1, "IDC_TABLE_LIST", "Инфо. о смеси."),
    (LOWER, 2, "IDC_TABLE_LIST", "Промежуточные расчеты"),
    (LOWER, 3, "IDC_TABLE_LIST", "Результаты расчета"),
    (LOWER, 4, "IDC_GRAPH_LEVELS", "График"),
    (UPPER, 0, "IDC_ASSAY_LIST", "Хроматограммы"),
    (UPPER, 1, "IDC_MIXTURE_LIST", "Смеси"),
]
HIDDEN = 5  # the intermediate results' column the test hides through the column menu ("ОСКО")


def read_copied(path):
    """The clipboard text the scenario saved, as TSV: heading cells and rows. Every line ends in
    CR LF; nothing else breaks a line."""
    with open(path, encoding="utf-8", newline="") as f:
        text = f.read()
    expect(text.endswith("\r\n"), "the copied text does not end a line: %r" % text[-20:])
    lines = text[:-2].split("\r\n")
    expect(all("\n" not in line and "\r" not in line for line in lines), "a bare line break in %r" % text[:200])
    return lines[0].split("\t"), [line.split("\t") for line in lines[1:]]


def dumped_table(folder, caption, list_id):
    """Heading cells and rows of a dumped list."""
    with open(os.path.join(folder, dumped(caption, list_id)), encoding="utf-8") as f:
        heading = f.readline().rstrip("\n").split("\t")
    return heading, read_table(folder, dumped(caption, list_id))


def without(cells, column):
    return cells[:column] + cells[column + 1:]


def test_copy_every_list(ctx):
    """With every chromatogram added, Ctrl+C in each list of the window gives back, read as TSV,
    the headings and every row the list's dump shows (separator rows included); a selection gives
    those rows in the list's order; the menu item copies as the key does; a column hidden by the
    column menu is not copied; only the graph page's copy holds a picture, the size of its chart.
    Ctrl+C in the message log with nothing selected copies the whole log as it stands."""
    database = sample_data(ctx)
    folder = os.path.join(ctx.work, "copies")
    os.makedirs(folder, exist_ok=True)
    out = lambda name: os.path.join(folder, name + ".txt")
    lines = ["select all", "press IDC_ASSAY_ADD", "recalculate", "tab %s 1" % UPPER, "click IDC_MIXTURE_LIST 1",
             "tab %s 0" % UPPER, "click IDC_ASSAY_LIST 1", "dump " + W(folder)]
    # The graph page's copy is kept with the run's pictures (its picture beside it as a .bmp file).
    kept = os.path.join(artefacts_dir(ctx), "copied-graph-%s" % ctx.arch)
    files = [kept + ".txt" if name == "IDC_GRAPH_LEVELS" else out("all-%d" % n)
             for n, (_, _, name, _) in enumerate(LISTS)]
    for (strip, tab, name, _), path in zip(LISTS, files):
        lines += ["clipboard empty", "copy %s %d %s none" % (strip, tab, name), "clipboard " + W(path)]
    lines += ["copy %s 3 IDC_TABLE_LIST 3,0,1" % LOWER, "clipboard " + W(out("results-some")),
              "copy %s 1 IDC_MIXTURE_LIST 2 menu" % UPPER, "clipboard " + W(out("mixture-menu")),
              "copy %s 0 IDC_ASSAY_LIST 4 menu" % UPPER, "clipboard " + W(out("assay-menu")),
              "menu %s 2 IDC_TABLE_LIST %d" % (LOWER, HIDDEN),
              "copy %s 2 IDC_TABLE_LIST none menu" % LOWER, "clipboard " + W(out("calc-hidden")),
              "text IDC_LOG_TEXT", "clipboard empty", "copy %s 5 IDC_LOG_TEXT" % LOWER, "clipboard " + W(out("log"))]
    calls = ctx.scenario("copy-lists", lines, args=["--db", W(database)])
    copies, boards = records(calls, "copy"), records(calls, "clipboard")
    expect(not records(calls, "modal") and not any(c["box"] for c in copies), "a copy showed a box: %r" % copies)
    expect(all(b["opened"] and b["text"] and b["saved"] for b in boards), "clipboard records %r" % boards)

    tables = {}
    for n, (strip, tab, name, caption) in enumerate(LISTS):
        heading, rows = dumped_table(folder, caption, getattr(R, name))
        tables[caption] = (heading, rows)
        expect(rows, "%s is empty" % caption)
        copied = read_copied(files[n])
        expect(copied == (heading, rows), "%s: the copy differs from the list: %r" % (caption, copied))
        want_picture = caption == "График"
        expect(boards[n]["dib"] == want_picture, "%s: picture %r" % (caption, boards[n]))
    separators = [r for r in tables["Результаты расчета"][1] if r[0] == ""]
    expect(separators, "no separator row in the results to copy")
    picture = boards[LISTS.index((LOWER, 4, "IDC_GRAPH_LEVELS", "График"))]
    stride = (picture["dibWidth"] * 3 + 3) // 4 * 4
    expect(picture["dibWidth"] > 200 and picture["dibHeight"] > 100 and picture["dibBits"] == 24
           and picture["dibBytes"] >= 40 + stride * picture["dibHeight"] and picture["dibInked"] > 1000,
           "the chart's picture %r" % picture)

    heading, rows = tables["Результаты расчета"]
    expect(read_copied(out("results-some")) == (heading, [rows[0], rows[1], rows[3]]), "results, rows 0, 1, 3")
    heading, rows = tables["Смеси"]
    expect(read_copied(out("mixture-menu")) == (heading, [rows[2]]), "mixtures by the menu")
    heading, rows = tables["Хроматограммы"]
    expect(read_copied(out("assay-menu")) == (heading, [rows[4]]), "chromatograms by the menu")
    heading, rows = tables["Промежуточные расчеты"]
    copied = read_copied(out("calc-hidden"))
    expect(copied == (without(heading, HIDDEN), [without(r, HIDDEN) for r in rows]),
           "intermediate results without ОСКО: %r" % (copied[0],))
    log = records(calls, "text")[0]["text"]
    with open(out("log"), encoding="utf-8", newline="") as f:
        expect(len(log) > 100 and f.read() == log, "Ctrl+C in the message log without a selection: %r" % log[:80])
    menus = records(calls, "menu")
    expect([i["text"] for i in menus[0]["items"]] == ["Копировать"] and
           menus[0]["items"][0]["command"] == R.IDM_TABLE_COPY, "the lists' own menu %r" % menus[0])


def test_copy_busy_and_in_the_components_dialog(ctx):
    """A clipboard another program holds: the copy says so in a box and the clipboard keeps what
    it had. Copying the chart's picture leaves no GDI object or window behind. In the components dialog Ctrl+C copies the grid, and with a cell's editor open it
    copies the editor's selected text, not the table; the edit is cancelled."""
    folder = os.path.join(ctx.work, "copies-busy")
    os.makedirs(folder, exist_ok=True)
    out = lambda name: W(os.path.join(folder, name + ".txt"))
    lines = ["copy %s 0 IDC_ASSAY_LIST" % UPPER, "clipboard " + out("before"),
             "clipboard hold", "copy %s 3 IDC_TABLE_LIST" % LOWER, "clipboard release", "clipboard " + out("after"),
             "counts", "repeat 20 copy %s 4 IDC_GRAPH_LEVELS" % LOWER, "counts",
             "press IDC_MAIN_COMPONENTS cancel copy:IDC_COMP_LIST:1,3", "clipboard " + out("grid"),
             "press IDC_MAIN_COMPONENTS cancel editcopy:IDC_COMP_LIST:3:2=xiC4", "clipboard " + out("editor")]
    calls = ctx.scenario("copy-busy", lines)
    hold = records(calls, "clipboard-hold")
    expect(hold == [{"host": "clipboard-hold", "opened": True}], "the clipboard was not held: %r" % hold)
    copies = records(calls, "copy")
    expect([c["box"] for c in copies] == [False, True] + [False] * 21, "boxes of the copies %r" % copies)
    before, after = records(calls, "counts")
    kept = lambda counts: (counts["gdi"], counts["surface"], counts["windows"])  # the chart is painted meanwhile
    expect(kept(before) == kept(after), "20 copies of the chart left %r -> %r" % (before, after))
    box = records(calls, "modal")[0]
    expect(any("Буфер обмена занят" in c["text"] for c in box["controls"]), "the busy box %r" % box)
    with open(os.path.join(folder, "before.txt"), encoding="utf-8", newline="") as f:
        before = f.read()
    with open(os.path.join(folder, "after.txt"), encoding="utf-8", newline="") as f:
        expect(f.read() == before, "a busy clipboard changed")
    expect(before.startswith("№\t"), "the empty chromatogram list copied %r" % before)

    dialogs = [m for m in records(calls, "modal") if m.get("caption") == "Компоненты"]
    grid = next(c for c in dialogs[0]["controls"] if c["id"] == R.IDC_COMP_LIST)
    heading, rows = read_copied(os.path.join(folder, "grid.txt"))
    expect(rows == [grid["rows"][1], grid["rows"][3]] and len(heading) == len(grid["rows"][1]),
           "the components' rows 1 and 3: %r" % rows)
    cell = records(calls, "cell-copy")
    expect(cell == [{"host": "cell-copy", "list": R.IDC_COMP_LIST, "opened": True, "editorLeft": False}],
           "the editor %r" % cell)
    with open(os.path.join(folder, "editor.txt"), encoding="utf-8", newline="") as f:
        expect(f.read() == "iC4", "Ctrl+C in the editor did not copy its selection")


COPY_TESTS = [test_copy_every_list, test_copy_busy_and_in_the_components_dialog]
