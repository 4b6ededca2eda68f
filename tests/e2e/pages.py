"""End-to-end checks of the lower pages over the generated sample data: an alternative name given
in the components dialog links renamed peaks to their catalogue entry again, the intermediate
results page shows for every mixture and channel what the calculation computed, and the graph
page and the report picture put their points where the levels map on their axes, with the fitted
line across them, and the deviation chart marks the level outside its norm."""
import json
import math
import os
import shutil
import sqlite3
import struct
import subprocess
import zlib

import winenv
from common import (R, Failure, aligned_table, artefacts_dir, dumped, expect, file_digest, native_dir,
                    profile_values, read_table, records, sample_data)

ISOBUTANE = "Изобутан"
ALIAS = "iC4"
ISOBUTANE_INDEX = 3  # its place in the catalogue and in the components dialog
NOT_IN_CATALOGUE = "Следующие компоненты не найдены в списке копмонентов программы:"
NOT_IN_MIXTURES = "Следующие компоненты не найдены в смесях:"


# ---------------------------------------------------------------- the command-line check

def native_sample(ctx):
    """The sample data with native file names, for the command-line check (same seed as the
    plug-in's copy, so the same chromatograms and mixtures)."""
    folder = os.path.join(ctx.work, "sample-native")
    if not os.path.exists(os.path.join(folder, "host.db")):
        subprocess.run([os.path.join(native_dir(ctx), "tessaro-sample"), "--out", folder], check=True,
                       capture_output=True)
    return os.path.join(folder, "host.db")


def run_check(ctx, database, *options):
    tool = os.path.join(native_dir(ctx), "tessaro-check")
    if not os.path.exists(tool):
        raise Failure("tessaro-check is not built in %s" % native_dir(ctx))
    return subprocess.run([tool, "--db", database] + list(options), check=True,
                          capture_output=True).stdout.decode("utf-8")


def check_output(ctx, database, *options):
    """The results table (heading, rows) and the message log text the check prints."""
    text = run_check(ctx, database, *options)
    heading, rows = aligned_table(text)
    return heading, rows, text[text.index("\n\n") + 2:]


def check_json(ctx, database):
    return json.loads(run_check(ctx, database, "--format", "json"))


def number_cell(value, digits=3):
    """A number as the pages print it: "%.*f", "---" for a value not computed."""
    if value is None:
        return "---"
    if isinstance(value, str):  # "nan", "inf", "-inf"
        return value
    return "%.*f" % (digits, value)


# ---------------------------------------------------------------- relinking through the catalogue

def rename_isobutane(database, tables):
    connection = sqlite3.connect(database)
    for table in tables:
        changed = connection.execute("UPDATE [%s] SET name = ? WHERE name = ?;" % table, (ALIAS, ISOBUTANE)).rowcount
        expect(changed > 0, "no %s named %s in the sample data" % (table, ISOBUTANE))
    connection.commit()
    connection.close()


def isobutane_row(rows, name_id):
    found = [r for r in rows if len(r) > 2 and r[1] == name_id and r[2] == "2"]
    expect(len(found) == 1, "isobutane (%s) rows %r" % (name_id, found))
    return found[0]


def test_components_relink(ctx):
    """Isobutane peaks renamed iC4 lose their catalogue entry: the results and the message log are
    those the command-line check gives for the renamed data. Cancel in the components dialog
    changes nothing; the alternative name iC4 with OK relinks them, and when the mixtures name the
    component iC4 too, the results equal those of the data as generated. The database stays as it was."""
    plain_heading, plain, plain_log = check_output(ctx, native_sample(ctx))
    connection = sqlite3.connect(native_sample(ctx))
    name_id = connection.execute("SELECT DISTINCT nameid FROM [peak] WHERE name = ?;", (ISOBUTANE,)).fetchall()
    connection.close()
    expect(len(name_id) == 1, "isobutane peak ids %r" % name_id)
    name_id = str(name_id[0][0])
    plain_row = isobutane_row(plain, name_id)
    expect(plain_row[4] != "---" and plain_row[5] == "Да", "isobutane in the sample data %r" % plain_row)

    edit = "edit:IDC_COMP_LIST:%d:2=%s" % (ISOBUTANE_INDEX, ALIAS)
    for case, tables in (("peaks", ["peak"]), ("peaks-and-mixtures", ["peak", "mixturecomp"])):
        copy = os.path.join(ctx.work, "relink-%s.db" % case)
        shutil.copyfile(sample_data(ctx), copy)
        rename_isobutane(copy, tables)
        digest = file_digest(copy)
        native = os.path.join(ctx.work, "relink-%s-native.db" % case)
        shutil.copyfile(native_sample(ctx), native)
        rename_isobutane(native, tables)
        _, renamed, renamed_log = check_output(ctx, native)
        _, relinked, relinked_log = check_output(ctx, native, "--alias", "%d=%s" % (ISOBUTANE_INDEX, ALIAS))

        dumps = os.path.join(ctx.work, "relink-%s" % case)
        shutil.rmtree(dumps, ignore_errors=True)
        os.makedirs(dumps)
        profile = os.path.join(ctx.work, "relink-%s-profile.txt" % case)
        if os.path.exists(profile):
            os.remove(profile)
        step = lambda n: ["dump " + winenv.Wine.path(os.path.join(dumps, str(n))), "text IDC_LOG_TEXT", "state"]
        calls = ctx.scenario("relink-" + case, ["select all", "press IDC_ASSAY_ADD"] + step(0) +
                             ["press IDC_MAIN_COMPONENTS cancel " + edit] + step(1) +
                             ["press IDC_MAIN_COMPONENTS ok " + edit] + step(2),
                             profile, args=["--db", winenv.Wine.path(copy)])
        shown = []
        for n in range(3):
            with open(os.path.join(dumps, str(n), dumped("Результаты расчета", R.IDC_TABLE_LIST)),
                      encoding="utf-8") as f:
                lines = f.read().splitlines()
            shown.append((lines[0].split("\t"), [line.split("\t") for line in lines[1:]]))
        logs = [r["text"].replace("\r\n", "\n") for r in records(calls, "text")]
        counts = [r["recalculations"] for r in records(calls, "state")]
        edits = records(calls, "cell-edit")
        expect(len(edits) == 2 and all(e["opened"] and e["text"] == ALIAS for e in edits), "%s: edits %r" % (case, edits))

        expect(shown[0] == (plain_heading, renamed), "%s: results before relinking differ from the check's:\n%s\n---\n%s"
               % (case, shown[0][1], renamed))
        expect(logs[0] == renamed_log, "%s: log before relinking %r, the check's %r" % (case, logs[0], renamed_log))
        expect(NOT_IN_CATALOGUE + "\n\t- iC4, канал: 2" in logs[0], "%s: iC4 not reported: %r" % (case, logs[0]))
        expect(isobutane_row(renamed, name_id) != plain_row, "%s: renaming changed nothing" % case)

        expect(shown[1] == shown[0] and logs[1] == logs[0] and counts[1] == counts[0],
               "%s: Cancel changed the results (%r recalculations)" % (case, counts[:2]))

        expect(counts[2] == counts[0] + 1, "%s: OK did not recalculate: %r" % (case, counts))
        expect(shown[2] == (plain_heading, relinked), "%s: results after relinking differ from the check's:\n%s\n---\n%s"
               % (case, shown[2][1], relinked))
        expect(logs[2] == relinked_log, "%s: log after relinking %r, the check's %r" % (case, logs[2], relinked_log))
        expect(NOT_IN_CATALOGUE not in logs[2], "%s: iC4 still unknown after OK: %r" % (case, logs[2]))
        stored = profile_values(profile, "plugins\\Tessaro\\Components/")
        expect(stored == {"qtyComps": "19", "%d_altName" % ISOBUTANE_INDEX: ALIAS}, "%s: profile %r" % (case, stored))
        if "mixturecomp" in tables:
            expect(relinked == plain and relinked_log == plain_log,
                   "%s: relinked results differ from the data as generated" % case)
        else:
            # The levels take their concentrations from mixture components spelled like the
            # peak: with the mixtures still naming isobutane there is no line for iC4.
            row = isobutane_row(relinked, name_id)
            expect(row[4] == row[5] == row[8] == "---", "%s: iC4 got a line without concentrations: %r" % (case, row))
            expect(NOT_IN_MIXTURES + "\n\t- iC4, канал: 2" in logs[2], "%s: log %r" % (case, logs[2]))
        expect(file_digest(copy) == digest, "%s: the host database changed" % case)


# ---------------------------------------------------------------- the intermediate results page

CALC_INFO_PAGE = "Промежуточные расчеты"


def calc_info_rows(data, mixture_id, channel):
    """The page's rows for one mixture and channel, from the check's values of every level."""
    rows = []
    for component in data["components"]:
        level = next((l for l in component["levels"] if l["mixtureId"] == mixture_id), None)
        if level is None or level["n"] <= 0 or component["channel"] != channel:
            continue
        verdict = lambda ok: "Да" if ok else "Нет"
        norm = level["uAbs"] is not None
        deviation = level["devNorm"] is not None
        rows.append([str(len(rows) + 1), component["name"], str(level["n"])] +
                    [number_cell(level[k]) for k in ("sumArea", "meanArea", "rsd")] +
                    ([number_cell(level[k]) for k in ("uAbs", "uRel", "rsdNorm")] + [verdict(level["rsdOk"])]
                     if norm else ["---"] * 4) +
                    [number_cell(level[k]) for k in ("calcConc", "relDev")] +
                    ([number_cell(level[k]) for k in ("sigmaK", "devNorm")] + [verdict(level["devOk"])]
                     if deviation else ["---"] * 3))
    return rows


def test_calc_info_walk(ctx):
    """After adding every chromatogram the intermediate results page offers the loaded mixtures and
    the channels; for each mixture and each channel chosen in turn its table holds the levels the
    command-line check computes, cell for cell."""
    data = check_json(ctx, native_sample(ctx))
    mixtures = [(m["name"], m["id"]) for m in data["mixtures"]]
    channels = [(c["label"], c["channel"]) for c in data["channels"]]
    expect(len(mixtures) == 5 and len(channels) == 2, "sample data: %r, %r" % (mixtures, channels))
    dumps = os.path.join(ctx.work, "calc-info")
    shutil.rmtree(dumps, ignore_errors=True)
    os.makedirs(dumps)
    dump = lambda name: "dump " + winenv.Wine.path(os.path.join(dumps, name))
    lines = ["select all", "press IDC_ASSAY_ADD", "tab IDC_MAIN_LOWER_TABS 2", "combo IDC_CALC_MIXTURE",
             "combo IDC_CALC_CHANNEL", dump("start")]
    for m in range(len(mixtures)):
        lines.append("choose %s IDC_CALC_MIXTURE %d" % (CALC_INFO_PAGE, m))
        for c in range(len(channels)):
            lines += ["choose %s IDC_CALC_CHANNEL %d" % (CALC_INFO_PAGE, c), dump("%d-%d" % (m, c))]
    calls = ctx.scenario("calc-info-walk", lines, args=["--db", winenv.Wine.path(sample_data(ctx))])
    mixture_box, channel_box = records(calls, "combo")
    expect([(i["text"], i["data"]) for i in mixture_box["items"]] == mixtures and mixture_box["selected"] == 0,
           "mixture selector %r" % mixture_box)
    expect([(i["text"], i["data"]) for i in channel_box["items"]] == channels and channel_box["selected"] == 0,
           "channel selector %r" % channel_box)

    table = lambda name: read_table(os.path.join(dumps, name), dumped(CALC_INFO_PAGE, R.IDC_TABLE_LIST))
    expect(table("start") == calc_info_rows(data, mixtures[0][1], channels[0][1]),
           "after the calculation the page does not show the first mixture on the first channel")
    shown_rows = 0
    for m, (mixture, mixture_id) in enumerate(mixtures):
        for c, (label, channel) in enumerate(channels):
            want = calc_info_rows(data, mixture_id, channel)
            got = table("%d-%d" % (m, c))
            expect(want, "no levels of %s on channel %s in the check" % (mixture, label))
            for i, (g, w) in enumerate(zip(got, want)):
                expect(g == w, "%s, channel %s, row %d:\n%r\n%r" % (mixture, label, i + 1, g, w))
            expect(len(got) == len(want), "%s, channel %s: %d rows, the check has %d" % (mixture, label, len(got), len(want)))
            shown_rows += len(got)
    levels = sum(1 for comp in data["components"] for l in comp["levels"] if l["n"] > 0)
    expect(shown_rows == levels, "the pages showed %d levels of %d" % (shown_rows, levels))


# ---------------------------------------------------------------- the graph page and its pictures

def read_png(path):
    """(width, height, rows of (r, g, b)) of an 8-bit RGB or RGBA PNG without interlacing."""
    with open(path, "rb") as f:
        data = f.read()
    expect(data[:8] == b"\x89PNG\r\n\x1a\n", "%s is no PNG" % path)
    pos, idat, header = 8, b"", None
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        expect(struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])[0] == zlib.crc32(kind + body) & 0xFFFFFFFF,
               "%s: damaged %r chunk" % (path, kind))
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    width, height, depth, colour_type, _, _, interlace = header
    expect(depth == 8 and colour_type in (2, 6) and interlace == 0, "%s: PNG kind %r" % (path, header))
    bpp = 3 if colour_type == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * bpp
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        if kind == 1:
            for i in range(bpp, stride):
                line[i] = (line[i] + line[i - bpp]) & 255
        elif kind == 2:
            line = bytearray((a + b) & 255 for a, b in zip(line, previous))
        elif kind == 3:
            for i in range(stride):
                line[i] = (line[i] + ((line[i - bpp] if i >= bpp else 0) + previous[i]) // 2) & 255
        elif kind == 4:
            for i in range(stride):
                a = line[i - bpp] if i >= bpp else 0
                b, c = previous[i], previous[i - bpp] if i >= bpp else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[i:i + 3]) for i in range(0, stride, bpp)])
        previous = line
    return width, height, rows


def plot_frame(rows):
    """The data area (left, top, right, bottom) from the chart's black frame: the longest black
    columns and rows are its outline, drawn one pixel outside at the left and top."""
    def longest(pixels):
        best = run = 0
        for p in pixels:
            run = run + 1 if p == (0, 0, 0) else 0
            best = max(best, run)
        return best
    columns = [x for x in range(len(rows[0])) if longest(r[x] for r in rows) > 100]
    lines = [y for y, r in enumerate(rows) if longest(r) > 100]
    expect(len(columns) >= 2 and len(lines) >= 2, "no chart frame: columns %r, rows %r" % (columns, lines))
    return columns[0] + 1, lines[0] + 1, columns[-1], lines[-1]


def float32(value):
    return struct.unpack("<f", struct.pack("<f", value))[0]


def axis_mapping(frame, x_range, y_range):
    """The chart's mappings of values to pixels on fixed ranges, and the X value of a pixel column."""
    left, top, right, bottom = frame
    (x0, x1), (y0, y1) = x_range, y_range
    map_x = lambda v: math.ceil((v - x0) / (x1 - x0) * (right - left - 1) - 0.5) + left
    map_y = lambda v: bottom - 1 - math.ceil((v - y0) / (y1 - y0) * (bottom - top - 1) - 0.5)
    value_x = lambda column: x0 + (column - left) / (right - left - 1) * (x1 - x0)
    return map_x, map_y, value_x


def point_mapping(points, frame, spread):
    """The mappings of a chart whose fixed ranges add `spread` of the points' spread on each side."""
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    dx, dy = (max(xs) - min(xs)) * spread, (max(ys) - min(ys)) * spread
    return axis_mapping(frame, (min(xs) - dx, max(xs) + dx), (min(ys) - dy, max(ys) + dy))


def map_points(points, frame, spread):
    """Pixels of the points on a chart whose fixed ranges add `spread` of the value spread on each
    side; the points are stored as 32-bit floats, the ranges as doubles."""
    map_x, map_y, _ = point_mapping(points, frame, spread)
    return [(map_x(float32(x)), map_y(float32(y))) for x, y in points], map_y


def marker_clusters(rows, frame, inked, half):
    """Centres of the inked clusters dense enough to be markers: squares of side 2*half + 1 at
    least 70 % inked (a line of the chart fills well under that), joined when they touch."""
    left, top, right, bottom = frame
    side = 2 * half + 1
    width, height = right - left, bottom - top
    integral = [[0] * (width + 1) for _ in range(height + 1)]
    for j in range(height):
        row, above, here, total = rows[top + j], integral[j], integral[j + 1], 0
        for i in range(width):
            total += 1 if inked(row[left + i]) else 0
            here[i + 1] = above[i + 1] + total
    dense = set()
    for j in range(height - side + 1):
        for i in range(width - side + 1):
            count = integral[j + side][i + side] - integral[j][i + side] - integral[j + side][i] + integral[j][i]
            if count >= 0.7 * side * side:
                dense.add((left + i + half, top + j + half))
    return cluster_centres(dense)


def cluster_centres(pixels):
    """Centres of the groups of touching pixels (the set is used up)."""
    clusters = []
    while pixels:
        todo, members = [pixels.pop()], []
        while todo:
            x, y = todo.pop()
            members.append((x, y))
            for near in [(x + a, y + b) for a in (-1, 0, 1) for b in (-1, 0, 1)]:
                if near in pixels:
                    pixels.remove(near)
                    todo.append(near)
        clusters.append((sum(m[0] for m in members) / len(members), sum(m[1] for m in members) / len(members)))
    return sorted(clusters)


def check_picture(path, name, points, line, spread, half, inked):
    """The markers of the picture are where the levels map, one per level, on a line through them,
    and close to the calibration line A = b*x + B."""
    _, _, rows = read_png(path)
    frame = plot_frame(rows)
    expected, map_y = map_points(points, frame, spread)
    found = marker_clusters(rows, frame, inked, half)
    expect(len(found) == len(expected), "%s: %d markers found at %r, %d levels at %r" %
           (name, len(found), found, len(expected), expected))
    for (fx, fy), (ex, ey) in zip(found, sorted(expected)):
        expect(abs(fx - ex) <= 1.5 and abs(fy - ey) <= 1.5, "%s: a marker at (%.1f, %.1f), the level maps to %r"
               % (name, fx, fy, (ex, ey)))
    for (ax, ay), (bx, by) in zip(expected, expected[1:]):
        for t in (0.25, 0.5, 0.75):
            x, y = round(ax + (bx - ax) * t), round(ay + (by - ay) * t)
            expect(any(inked(rows[y + b][x + a]) for a in (-1, 0, 1) for b in (-1, 0, 1)),
                   "%s: no line at (%d, %d) between the points %r and %r" % (name, x, y, (ax, ay), (bx, by)))
    slope, intercept = line
    height = frame[3] - frame[1]
    for (x, area), (_, y) in zip(points, expected):
        expect(abs(map_y(slope * x + intercept) - y) <= 0.03 * height,
               "%s: the point (%g, %g) lies far from the calibration line" % (name, x, area))


def check_line(path, name, points, line, spread, inked, others=lambda p: False, intercept=False):
    """The fitted line A = b*x + B runs across the whole data area: in every column beyond the
    outermost levels, where nothing else is drawn, a pixel of the line lies within 2 pixels of where
    b*x + B maps; between them the line or `others` (the points' own line) does. With intercept,
    the line at the chart's left edge (x = 0 lies outside the range) is more than 4 pixels away from
    the same slope through the origin: the intercept shows there."""
    _, _, rows = read_png(path)
    frame = plot_frame(rows)
    left, top, right, bottom = frame
    map_x, map_y, value_x = point_mapping(points, frame, spread)
    slope, offset = line
    first, last = map_x(float32(min(p[0] for p in points))), map_x(float32(max(p[0] for p in points)))
    beyond = []
    for column in range(left + 2, right - 2):
        y = map_y(slope * value_x(column) + offset)
        if not top + 2 <= y <= bottom - 3:
            continue
        alone = column < first - 6 or column > last + 6
        if alone:
            beyond.append((column, y))
        drawn = inked if alone else (lambda p: inked(p) or others(p))
        expect(any(drawn(rows[y + d][column]) for d in range(-2, 3)),
               "%s: no calibration line at (%d, %d)" % (name, column, y))
    expect(len(beyond) >= 10, "%s: the line runs beyond the levels in %d columns only" % (name, len(beyond)))
    if intercept:
        column, y = beyond[0]
        expect(beyond[0][0] < first and abs(map_y(slope * value_x(column)) - y) > 4,
               "%s: the intercept %g does not show at the left edge (%d, %d)" % (name, offset, column, y))


OUTSIDE_COLOUR = (0xFF, 0x00, 0x00)  # the squares of the levels outside their norm, 0x0000FF


def check_deviations(path, name, levels, spread):
    """The deviation chart marks in the "outside" colour exactly one spot, where the one level
    outside its norm maps: its concentration and its deviation (negative when the line reads the
    level's concentration high), on X from the concentrations with `spread`, Y symmetric about zero
    with room for every deviation and norm."""
    _, _, rows = read_png(path)
    frame = plot_frame(rows)
    left, top, right, bottom = frame
    shown = [l for l in levels if l["conc"] is not None and l["calcConc"] is not None and l["relDev"] is not None]
    signed = [(l["conc"], l["relDev"] if l["calcConc"] >= l["conc"] else -l["relDev"]) for l in shown]
    limit = max([abs(d) for _, d in signed] + [l["devNorm"] for l in shown if l["devNorm"] is not None])
    xs = [x for x, _ in signed]
    dx = (max(xs) - min(xs)) * spread
    map_x, map_y, _ = axis_mapping(frame, (min(xs) - dx, max(xs) + dx), (-limit * (1 + 2 * spread), limit * (1 + 2 * spread)))
    outside = [(x, d) for (x, d), l in zip(signed, shown) if l["devNorm"] is not None and not l["devOk"]]
    expect(len(outside) == 1, "%s: the case has %d levels outside their norm" % (name, len(outside)))
    clusters = cluster_centres({(x, y) for y in range(top, bottom) for x in range(left, right)
                                if rows[y][x] == OUTSIDE_COLOUR})
    want = (map_x(float32(outside[0][0])), map_y(float32(outside[0][1])))
    expect(len(clusters) == 1, "%s: %d marked spots at %r, one level outside at %r" % (name, len(clusters), clusters, want))
    expect(abs(clusters[0][0] - want[0]) <= 1.5 and abs(clusters[0][1] - want[1]) <= 1.5,
           "%s: the mark at %r, the level outside maps to %r" % (name, clusters[0], want))


SERIES_COLOUR = (0xFF, 0x7F, 0x73)  # the page's series colour 0x737FFF as red, green, blue
LINE_COLOUR = (0x20, 0x70, 0xC0)  # the page's calibration line 0xC07020


def test_graph_points(ctx):
    """The graph page and the report picture of one component per channel: the level list holds the
    component's levels, the component selector the components with at least two levels, and both
    pictures (kept as artefacts) show one marker per level where its concentration and mean area
    map, joined by the line; the command-line check's picture of the component likewise."""
    data = check_json(ctx, native_sample(ctx))
    components = data["components"]
    shown = lambda level: level["conc"] is not None and level["meanArea"] is not None
    choices = {}
    for i, component in enumerate(components):
        if sum(1 for l in component["levels"] if shown(l)) > 1:
            choices.setdefault(component["channel"], []).append((component["name"], i))
    picks = [(0, "Этан"), (1, ISOBUTANE)]
    channels = [c["channel"] for c in data["channels"]]
    artefacts = artefacts_dir(ctx)
    dumps = os.path.join(ctx.work, "graph-points")
    shutil.rmtree(dumps, ignore_errors=True)
    os.makedirs(dumps)
    lines = ["select all", "press IDC_ASSAY_ADD", "tab IDC_MAIN_LOWER_TABS 4"]
    files = []
    for channel, name in picks:
        entry = [n for n, _ in choices[channel]].index(name)
        tag = "ch%d-%d-%s" % (channel + 1, choices[channel][entry][1] + 1, ctx.arch)
        shot = os.path.join(artefacts, "graph-page-%s.png" % tag)
        picture = os.path.join(artefacts, "report-graph-%s.png" % tag)
        for old in (shot, picture):
            if os.path.exists(old):
                os.remove(old)
        files.append((shot, picture))
        lines += ["choose График IDC_GRAPH_CHANNEL %d" % channels.index(channel), "combo IDC_GRAPH_COMPONENT",
                  "choose График IDC_GRAPH_COMPONENT %d" % entry,
                  "dump " + winenv.Wine.path(os.path.join(dumps, str(channel))),
                  "shot " + winenv.Wine.path(shot), "reportgraph " + winenv.Wine.path(picture)]
    calls = ctx.scenario("graph-points", lines, args=["--db", winenv.Wine.path(sample_data(ctx))])
    boxes, reports = records(calls, "combo"), records(calls, "reportgraph")
    native_graphs = os.path.join(ctx.work, "graph-points-native")
    shutil.rmtree(native_graphs, ignore_errors=True)
    run_check(ctx, native_sample(ctx), "--graph", native_graphs)

    for (channel, name), box, report, (shot, picture) in zip(picks, boxes, reports, files):
        expect([(i["text"], i["data"]) for i in box["items"]] == choices[channel],
               "channel %d offers %r, the check %r" % (channel + 1, box["items"], choices[channel]))
        index = dict(choices[channel])[name]
        component = components[index]
        levels = [l for l in component["levels"] if shown(l)]
        listed = read_table(os.path.join(dumps, str(channel)), dumped("График", R.IDC_GRAPH_LEVELS))
        expect(listed == [[str(i), "%f" % l["conc"], "%f" % l["meanArea"]] for i, l in enumerate(levels, 1)],
               "%s: level list %r" % (name, listed))
        expect(report["result"] == 0 and report["saved"], "%s: report picture %r" % (name, report))
        width, height, _ = read_png(picture)
        expect((width, height) == (1000, 1000), "%s: report picture %d x %d" % (name, width, height))
        points = [(l["conc"], l["meanArea"]) for l in levels]
        line = (component["slope"], component["intercept"])
        dark = lambda p: sum(p) < 384
        check_picture(shot, name + " on the page", points, line, 0.1, 2, lambda p: p == SERIES_COLOUR)
        check_picture(picture, name + " in the report picture", points, line, 0.07, 3, dark)
        native = os.path.join(native_graphs, "ch%d-%d-%s.png" % (channel + 1, index + 1, name))
        check_picture(native, name + " in the check's picture", points, line, 0.07, 3, dark)
        check_line(shot, name + " on the page", points, line, 0.1, lambda p: p == LINE_COLOUR,
                   lambda p: p == SERIES_COLOUR)
        check_line(picture, name + " in the report picture", points, line, 0.07, dark)
        check_line(native, name + " in the check's picture", points, line, 0.07, dark)
        shutil.copyfile(native, os.path.join(artefacts, "check-graph-ch%d-%d.png" % (channel + 1, index + 1)))


# Methane on channel 1 read 3000 high at every level: through the origin it fails, and the refit
# gives it an intercept. Ethane on channel 1 read 8 % high in the third mixture: the one level
# outside its norm.
REFIT_SQL = ["UPDATE peak SET area = area + 3000 WHERE name = 'Метан' AND channel = 0;",
             "UPDATE peak SET area = area * 1.08 WHERE name = 'Этан' AND channel = 0 AND assayid IN "
             "(SELECT id FROM assay WHERE mixture = 'ПГ-3 (природный газ)');"]


def refit_sample(ctx, name, *options):
    folder = os.path.join(ctx.work, name)
    shutil.rmtree(folder, ignore_errors=True)
    subprocess.run([os.path.join(native_dir(ctx), "tessaro-sample"), "--out", folder] + list(options), check=True,
                   capture_output=True)
    database = os.path.join(folder, "host.db")
    connection = sqlite3.connect(database)
    with connection:
        for sql in REFIT_SQL:
            connection.execute(sql)
    connection.close()
    return database


def test_graph_line_and_deviations(ctx):
    """On a methane refit, the graph page, the report picture and the check's picture draw the
    fitted line with its intercept; with the switch "Отклонения" the page shows the deviation chart
    of a component with one level outside its norm, and marks exactly that level, as the check's
    deviation picture does."""
    native = refit_sample(ctx, "refit-native")
    data = check_json(ctx, native)
    components = data["components"]
    methane = next(i for i, c in enumerate(components) if c["name"] == "Метан" and c["channel"] == 0)
    ethane = next(i for i, c in enumerate(components) if c["name"] == "Этан" and c["channel"] == 0)
    expect(components[methane]["intercept"] > 1000, "no refit: %r" % components[methane]["intercept"])
    shown = lambda level: level["conc"] is not None and level["meanArea"] is not None
    offered = [i for i, c in enumerate(components) if c["channel"] == 0 and sum(1 for l in c["levels"] if shown(l)) > 1]
    artefacts = artefacts_dir(ctx)
    files = {k: os.path.join(artefacts, "%s-%s.png" % (k, ctx.arch)) for k in ("refit-page", "refit-report", "deviations-page")}
    for old in files.values():
        if os.path.exists(old):
            os.remove(old)
    W = winenv.Wine.path
    lines = ["select all", "press IDC_ASSAY_ADD", "tab IDC_MAIN_LOWER_TABS 4", "choose График IDC_GRAPH_CHANNEL 0",
             "choose График IDC_GRAPH_COMPONENT %d" % offered.index(methane), "shot " + W(files["refit-page"]),
             "reportgraph " + W(files["refit-report"]), "choose График IDC_GRAPH_COMPONENT %d" % offered.index(ethane),
             "click IDC_GRAPH_DEVIATIONS", "shot " + W(files["deviations-page"])]
    calls = ctx.scenario("graph-refit", lines, args=["--db", W(refit_sample(ctx, "refit", "--windows-paths"))])
    expect(records(calls, "reportgraph")[0]["saved"], "refit report picture %r" % records(calls, "reportgraph"))
    graphs = os.path.join(ctx.work, "refit-graphs")
    shutil.rmtree(graphs, ignore_errors=True)
    run_check(ctx, native, "--graph", graphs)

    c = components[methane]
    points = [(l["conc"], l["meanArea"]) for l in c["levels"] if shown(l)]
    line = (c["slope"], c["intercept"])
    dark = lambda p: sum(p) < 384
    check_line(files["refit-page"], "the refit on the page", points, line, 0.1, lambda p: p == LINE_COLOUR,
               lambda p: p == SERIES_COLOUR, intercept=True)
    check_line(files["refit-report"], "the refit in the report picture", points, line, 0.07, dark, intercept=True)
    picture = os.path.join(graphs, "ch1-%d-Метан.png" % (methane + 1))
    check_line(picture, "the refit in the check's picture", points, line, 0.07, dark, intercept=True)
    check_deviations(files["deviations-page"], "ethane's deviations on the page", components[ethane]["levels"], 0.1)
    deviations = os.path.join(graphs, "ch1-%d-Этан-deviations.png" % (ethane + 1))
    check_deviations(deviations, "ethane's deviations in the check's picture", components[ethane]["levels"], 0.07)
    for source, kept in ((picture, "check-refit"), (deviations, "check-deviations")):
        shutil.copyfile(source, os.path.join(artefacts, "%s.png" % kept))


PAGE_TESTS = [test_components_relink, test_calc_info_walk, test_graph_points, test_graph_line_and_deviations]
