#!/usr/bin/env python3
"""End-to-end tests of a Windows build under wine: the simulated host loads the
plug-in DLL and drives it. Run by ctest; exit 0 = passed, 77 = skipped."""
import argparse
import json
import os
import shutil
import sqlite3
import struct
import subprocess
import sys
import tempfile
import time
import traceback
import zipfile
import zlib
from xml.etree import ElementTree

sys.path.insert(0, os.path.dirname(__file__))
import winenv  # noqa: E402
from common import (R, Context, Failure, aligned_table, artefacts_dir, controls, dumped, expect,  # noqa: E402
                    file_digest, live_objects, native_dir, profile_values, read_table, records, sample_data, strip)
from copying import COPY_TESTS  # noqa: E402
from faults import FAULT_TESTS  # noqa: E402
from load import LOAD_TESTS  # noqa: E402
from pages import PAGE_TESTS  # noqa: E402

DESCRIPTION = "Проверка линейности сигнала детектора газового хроматографа по ГОСТ 31371.7-2020, приложение Б"


def objdump(arch):
    return ("i686" if arch == "i686" else "x86_64") + "-w64-mingw32-objdump"


def test_unload_before_the_host_window(ctx):
    """A host that unloads the plug-in while its window is open and frees its service table right
    after: Unload closes the plug-in's window while the table still answers (the intermediate
    page stores its columns then), and nothing is called through the table afterwards."""
    profile = os.path.join(ctx.work, "unload-first-profile.txt")
    if os.path.exists(profile):
        os.remove(profile)
    calls = ctx.scenario("unload-first", ["select 1,2", "press IDC_ASSAY_ADD", "tab IDC_MAIN_LOWER_TABS 2", "state"],
                         profile=profile, args=["--db", winenv.Wine.path(sample_data(ctx)), "--unload-first"],
                         calls=True)
    late = records(calls, "after-unload")
    expect(not late, "called through the service table after Unload: %r" % late)
    expect(records(calls, "unload-result"), "the host did not unload the plug-in")
    unload_at = next(i for i, c in enumerate(calls) if c.get("host") == "unload-result")
    stored = [c for c in calls[:unload_at] if c.get("name") == "Profile/SetInt" and "CalcInfo" in c.get("key", "")]
    expect(stored, "the intermediate page did not store its columns before Unload returned")
    columns = profile_values(profile, "plugins\\Tessaro\\TablesSettings\\CalcInfo/")
    expect(columns.get("qtyCols") == "15", "stored columns %r" % columns)


def test_binary(ctx):
    """The DLL is the right PE kind and exports the three entry points undecorated."""
    headers = subprocess.run([objdump(ctx.arch), "-f", "-p", ctx.dll], stdout=subprocess.PIPE, check=True).stdout.decode()
    kind = "pei-i386" if ctx.arch == "i686" else "pei-x86-64"
    expect(("file format " + kind) in headers, "the DLL is not %s" % kind)
    section = headers[headers.index("[Ordinal/Name Pointer] Table"):].splitlines()[1:4]
    names = sorted(line.split("]")[1].strip() for line in section)
    expect(names == ["GetPluginInfo", "Load", "Unload"], "exports are %r" % names)
    imports = [line.split(":")[1].strip().lower() for line in headers.splitlines() if "DLL Name:" in line]
    for name in imports:
        expect(not name.startswith(("libgcc", "libstdc++", "libwinpthread")), "the DLL needs %s" % name)


def test_info(ctx):
    code, out, err = ctx.host_sim("--info")
    expect(code == 0, "host-sim --info exited with %d: %s" % (code, err.strip()))
    info = json.loads(out)
    expect(info["name"] == "Tessaro", "name %r" % info["name"])
    expect(info["version"] == 0x000E0000, "version %r" % info["version"])
    expect(info["description"] == DESCRIPTION, "description %r" % info["description"])
    expect(info["company"] and info["legalNotice"], "company and legal notice are empty")
    expect(info["fileVersion"] == "0.14.0.0" and info["productVersion"] == "0.14.0.0", "versions %r" % info)
    expect(info["originalFilename"] == "Tessaro.dll", "original file name %r" % info["originalFilename"])
    pointer = 4 if ctx.arch == "i686" else 8
    expect(info["pointerSize"] == pointer, "pointer size %r" % info["pointerSize"])
    if ctx.arch == "i686":
        expect(info["size"] == 48, "PluginInfo size %r" % info["size"])


def test_registration(ctx):
    db = os.path.join(ctx.work, "Данные хоста.db")
    calls = ctx.transcript("--db", winenv.Wine.path(db), "--menu-command", "2", "--profile",
                           winenv.Wine.path(os.path.join(ctx.work, "profile.txt")))
    names = [(c.get("call") or c.get("host"), c.get("name")) for c in calls]
    sub = next(c for c in calls if c.get("call") == "Subscribe")
    expect(sub["name"] == "System/ModulesLoaded", "subscribed to %r" % sub["name"])
    load_at = names.index(("load-result", None))
    expect(names.index(("Subscribe", "System/ModulesLoaded")) < load_at, "subscription happens inside Load")
    raise_at = names.index(("raise", "System/ModulesLoaded"))
    handled = names[raise_at + 1:raise_at + 4]
    expect(handled == [("AddCommand", "Tessaro/MenuCommand"), ("CallService", "MainMenu/CreateNewMenu"),
                       ("CallService", "DB/GetConnectionUri")], "event handling order %r" % handled)
    menu = next(c for c in calls if c.get("name") == "MainMenu/CreateNewMenu")
    expect(menu["path"] == "Данные/Расчёты/Tessaro", "menu path %r" % menu["path"])
    expect(menu["command"] == "Tessaro/MenuCommand" and menu["reserved"] == 0 and menu["argument1"] == 0,
           "menu entry %r" % menu)
    expect(menu["size"] == (16 if ctx.arch == "i686" else 32), "menu entry size %r" % menu["size"])
    uri = next(c for c in calls if c.get("name") == "DB/GetConnectionUri")
    expect(uri["result"] == winenv.Wine.path(db), "URI %r" % uri["result"])
    results = [c["result"] for c in calls if c.get("host") == "command-result"]
    expect(results == [0, 0], "menu command results %r" % results)
    command = next(c for c in calls if c.get("call") == "AddCommand")
    tail = [c for c in calls if c.get("call") in ("Unsubscribe", "RemoveCommand")]
    expect([(c["call"], c["handle"], c["known"]) for c in tail] ==
           [("Unsubscribe", sub["handle"], True), ("RemoveCommand", command["handle"], True)],
           "Unload calls %r" % tail)
    end = calls[-1]
    expect(end.get("host") == "unload-result" and end["result"] == 0 and end["subscriptions"] == 0
           and end["commands"] == 0, "after Unload %r" % end)


# ---------------------------------------------------------------- the host's ODT export
ODF_TEXT = "urn:oasis:names:tc:opendocument:xmlns:text:1.0"
ODF_DRAW = "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
ODF_SVG = "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
XLINK = "http://www.w3.org/1999/xlink"
MANIFEST = "urn:oasis:names:tc:opendocument:xmlns:manifest:1.0"
TEXT_MEDIA_TYPE = b"application/vnd.oasis.opendocument.text"

REPORT_TABLES = [
    ("table1", [{"title": "Нормативный документ", "DataString": "ГОСТ 31371.7-2020, приложение Б"},
                {"title": "Номер прибора", "DataString": "ХГ-2 № 0417"},
                {"title": "Оператор", "DataString": "Кузнецова Е. В."}]),
    ("table2", [{"num": "1", "MixtureName": "ПГС метан 1", "NumBalloon": "Б-1101", "DateRelease": "12.01.24",
                 "DateExpiry": "12.01.26"},
                {"num": "3", "MixtureName": "ПГС метан 3", "NumBalloon": "Б-1103", "DateRelease": "15.01.24",
                 "DateExpiry": "15.01.26"}]),
    ("table3", [{"num": "1", "Sample": "Проба & <1>", "AnDate": "04.03.25  10:15", "Mixture": "Б-1101"},
                {"num": "2", "Sample": "Проба 2", "AnDate": "04.03.25  10:42", "Mixture": "Б-1103"}]),
    ("table4", [{"num": "1", "Comp": "Метан", "Conc1": "95.123", "Deviation1": "0.120", "Conc2": "---",
                 "Deviation2": "---", "Conc3": "90.500", "Deviation3": ""}]),
    ("table5", [{"formula": "-- Канал 1 --"},
                {"num": "1", "CompName": "Метан", "formula": "A = 1234.568 * x + -0.250", "BB": "-0.250",
                 "b": "1234.568", "R": "0.99991", "R_norm": "0.999", "b_OK": "Да", "R_OK": "Нет"},
                {"formula": "-- Канал 2 --"},
                {"num": "2", "CompName": "Азот", "formula": "A = 17.000 * x + 0.000", "BB": "---", "b": "---",
                 "R": "---", "R_norm": "0.999", "b_OK": "---", "R_OK": "---"}]),
]
DEVIATIONS_HEADING = "Отклонения от градуировочной характеристики"
GRAPH_VALUES = [("graphComp", "Метан"), ("graph_Ch", "1"), ("graphFormula", "A = 1234.568 * x + -0.250")]
GRAPH_TABLE = ("table6", [{"num": "1", "graph_x": "90.500", "graph_A": "111700.000"},
                          {"num": "2", "graph_x": "95.123", "graph_A": "117400.000"}])


def report_document(tables, values=(), picture=None, deviations=None):
    """A report document shaped like the plug-in's, as UTF-8 XML text."""
    root = ElementTree.Element("root")
    ElementTree.SubElement(root, "DateCreated").text = "05.03.2025, 14:07"
    for name, rows in tables:
        table = ElementTree.SubElement(root, name)
        for fields in rows:
            row = ElementTree.SubElement(table, "row")
            for field, text in fields.items():
                ElementTree.SubElement(row, field).text = text
    for name, text in values:
        ElementTree.SubElement(root, name).text = text
    if picture:
        ElementTree.SubElement(root, "PictureGraph").text = picture
    if deviations:
        ElementTree.SubElement(root, "PictureDeviations").text = deviations
    return b'<?xml version="1.0" encoding="utf-8"?>' + ElementTree.tostring(root, encoding="utf-8")


def png_file(path, width, height):
    """A small valid PNG of the given size (grey)."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + b"\x80" * width for _ in range(height))
    data = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(data)
    return data


def export(ctx, document, template, out, *options):
    """Runs host-sim --export-test; returns (the service's result, its record)."""
    doc = os.path.join(ctx.work, "document.xml")
    with open(doc, "wb") as f:
        f.write(document)
    code, stdout, err = ctx.wine.run(ctx.host, list(options) + ["--export-test", winenv.Wine.path(doc), template,
                                                                winenv.Wine.path(out)])
    records = [json.loads(line) for line in stdout.splitlines() if line.strip()]
    expect(len(records) == 1, "host-sim printed %r (%s)" % (stdout, err.strip()))
    record = records[0]
    expect(code == (0 if record["result"] >= 0 else 1), "exit code %d for result %r" % (code, record))
    return record["result"], record


def cell_texts(content):
    """Every paragraph text of the body, spaces of text:s counted."""
    def text_of(node):
        out = node.text or ""
        for child in node:
            if child.tag == "{%s}s" % ODF_TEXT:
                out += " " * int(child.get("{%s}c" % ODF_TEXT, "1"))
            else:
                out += text_of(child)
            out += child.tail or ""
        return out
    return [text_of(p) for p in content.iter("{%s}p" % ODF_TEXT)]


def check_package(path):
    """The package opens as OpenDocument: mimetype first, stored, no extra field."""
    with open(path, "rb") as f:
        head = f.read(38 + len(TEXT_MEDIA_TYPE))
    expect(head[:4] == b"PK\x03\x04" and head[8:10] == b"\0\0", "mimetype is not the first, stored entry")
    expect(head[26:30] == b"\x08\0\0\0" and head[30:38] == b"mimetype" and head[38:] == TEXT_MEDIA_TYPE,
           "mimetype header %r" % head)
    package = zipfile.ZipFile(path)
    expect(package.testzip() is None, "a damaged entry in %s" % path)
    return package


def test_report_export(ctx):
    """Both templates filled with a full document: every datum, the picture, the sections."""
    work = ctx.work
    png = png_file(os.path.join(work, "TessaroGraph.png"), 40, 20)
    picture = winenv.Wine.path(os.path.join(work, "TessaroGraph.png"))
    deviations_png = png_file(os.path.join(work, "TessaroDeviations.png"), 30, 30)
    deviations = winenv.Wine.path(os.path.join(work, "TessaroDeviations.png"))
    full = report_document(REPORT_TABLES + [GRAPH_TABLE], GRAPH_VALUES, picture, deviations)
    for template, with_graph in (("ReportTemplateWitchGraph.odt", True), ("ReportTemplate.odt", False)):
        out = os.path.join(work, "Отчеты", template)
        result, record = export(ctx, full, "Tessaro\\" + template, out)
        expect(result == 0 and record["report"] == winenv.Wine.path(out), "export through %s: %r" % (template, record))
        package = check_package(out)
        content_xml = package.read("content.xml")
        content = ElementTree.fromstring(content_xml)
        texts = cell_texts(content)
        expect(b"text:placeholder" not in content_xml, "placeholders left in the %s report" % template)
        expect("Дата формирования: 05.03.2025, 14:07" in texts, "creation date missing")
        for name, rows in REPORT_TABLES:
            for fields in rows:
                for field, text in fields.items():
                    expect(text == "" or text in texts, "%s/%s %r missing in the %s report" % (name, field, text, template))
        # the channel rows took their own pattern: one paragraph each, in order
        channel_rows = [t for t in texts if t.startswith("-- Канал")]
        expect(channel_rows == ["-- Канал 1 --", "-- Канал 2 --"], "channel rows %r" % channel_rows)
        expect(texts.count("Да") == 1 and texts.count("Нет") == 1, "verdict cells %r" % texts)
        graph_texts = ["Компонент: Метан, канал 1", "Уравнение: A = 1234.568 * x + -0.250", "111700.000"]
        images = list(content.iter("{%s}image" % ODF_DRAW))
        manifest = ElementTree.fromstring(package.read("META-INF/manifest.xml"))
        listed = {e.get("{%s}full-path" % MANIFEST): e.get("{%s}media-type" % MANIFEST) for e in manifest}
        if with_graph:
            for text in graph_texts:
                expect(text in texts, "graph text %r missing" % text)
            expect([i.get("{%s}href" % XLINK) for i in images] ==
                   ["Pictures/TessaroGraph.png", "Pictures/TessaroDeviations.png"],
                   "picture references %r" % [i.attrib for i in images])
            expect(package.read("Pictures/TessaroGraph.png") == png, "the embedded picture differs from the file")
            expect(package.read("Pictures/TessaroDeviations.png") == deviations_png, "the deviation picture differs")
            expect(DEVIATIONS_HEADING in texts, "the deviation heading is missing")
            expect(listed.get("Pictures/TessaroGraph.png") == "image/png", "manifest %r" % listed)
            frame = next(content.iter("{%s}frame" % ODF_DRAW))
            width, height = (float(frame.get("{%s}%s" % (ODF_SVG, k))[:-2]) for k in ("width", "height"))
            expect(abs(height - width / 2) < 0.01, "frame %r x %r for a 2:1 picture" % (width, height))
        else:
            expect(not any(t in texts for t in graph_texts + [DEVIATIONS_HEADING]) and not images,
                   "graph part in the report without graph")
            expect(not any(n.startswith("Pictures/") for n in package.namelist()), "a picture without graph")
        if shutil.which("soffice"):
            pdf_dir = os.path.join(work, "pdf")
            subprocess.run(["soffice", "--headless", "--convert-to", "pdf", "--outdir", pdf_dir, out],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
            pdf = os.path.join(pdf_dir, os.path.splitext(template)[0] + ".pdf")
            expect(os.path.exists(pdf) and open(pdf, "rb").read(5) == b"%PDF-", "the word processor cannot convert %s" % out)

    # A document with every switch off: only the header; the other sections leave the report.
    out = os.path.join(work, "Отчеты", "short.odt")
    result, record = export(ctx, report_document(REPORT_TABLES[:1]), "Tessaro\\ReportTemplateWitchGraph.odt", out)
    expect(result == 0, "short export: %r" % record)
    package = check_package(out)
    texts = cell_texts(ElementTree.fromstring(package.read("content.xml")))
    for heading in ("Градуировочные смеси", "Хроматограммы", "Аттестованный состав смесей",
                    "Результаты проверки линейности", "График градуировочной характеристики", DEVIATIONS_HEADING):
        expect(heading not in texts, "section %r stays without its data" % heading)
    expect("Кузнецова Е. В." in texts, "operator missing in the short report")


def write_zip(path, entries):
    with zipfile.ZipFile(path, "w") as z:
        for name, data in entries:
            z.writestr(name, data)


def test_report_export_failures(ctx):
    """Each failure gives its code, writes no report and leaves no temporary file."""
    work = os.path.join(ctx.work, "failures")
    temp = os.path.join(work, "temp")
    os.makedirs(temp)
    plain_file = os.path.join(work, "plain.txt")
    with open(plain_file, "w") as f:
        f.write("not a folder, not a package")
    good = os.path.join(ctx.build, "Tessaro", "ReportTemplate.odt")
    with zipfile.ZipFile(good) as z:
        parts = [(n, z.read(n)) for n in z.namelist()]
    no_content = os.path.join(work, "no-content.odt")
    write_zip(no_content, [p for p in parts if p[0] != "content.xml"])
    bad_content = os.path.join(work, "bad-content.odt")
    write_zip(bad_content, [(n, b"<office:document-content>" if n == "content.xml" else d) for n, d in parts])
    document = report_document(REPORT_TABLES)
    missing_picture = report_document(REPORT_TABLES, GRAPH_VALUES, winenv.Wine.path(os.path.join(work, "none.png")))
    tpl = "Tessaro\\ReportTemplateWitchGraph.odt"
    out = os.path.join(work, "out", "report.odt")
    cases = [
        ("missing template", document, "Tessaro\\NoSuchTemplate.odt", out, [], -1),
        ("temporary folder is a file", document, tpl, out, ["--temp", winenv.Wine.path(plain_file)], -2),
        ("template is no package", document, winenv.Wine.path(plain_file), out, [], -3),
        ("template without content.xml", document, winenv.Wine.path(no_content), out, [], -4),
        ("template with malformed content.xml", document, winenv.Wine.path(bad_content), out, [], -4),
        ("document is no XML", b"<root><table1>", tpl, out, [], -6),
        ("document without root", b"<report/>", tpl, out, [], -6),
        ("picture file missing", missing_picture, tpl, out, [], -6),
        ("report folder under a file", document, tpl, os.path.join(plain_file, "report.odt"), [], -7),
    ]
    for name, doc, template, target, options, code in cases:
        options = options or ["--temp", winenv.Wine.path(temp)]
        result, record = export(ctx, doc, template, target, *options)
        expect(result == code, "%s: result %r, expected %d" % (name, record, code))
        expect(record["report"] is None and not os.path.exists(target), "%s: a report was written" % name)
        expect(os.listdir(temp) == [], "%s: left %r in the temporary folder" % (name, os.listdir(temp)))


# Scenarios that name what resources/resource.h does not define: the line, the command and the
# word the host names in its error.
UNKNOWN_NAMES = [
    (["press IDC_NO_SUCH_BUTTON"], 2, "press", "IDC_NO_SUCH_BUTTON"),
    (["press IDC_MAIN_SETTINGS ok check:IDC_SET_PRESURE=1"], 2, "press", "IDC_SET_PRESURE"),
    (["tab IDC_MAIN_LOWER_TABS 2", "menu IDC_MAIN_LOWER_TABS 2 IDC_TABLE_LISTS"], 3, "menu", "IDC_TABLE_LISTS"),
    (["choose График IDC_GRAPH_CHANNELS 0"], 2, "choose", "IDC_GRAPH_CHANNELS"),
]


def test_scenario_names(ctx):
    """A scenario names controls as resources/resource.h does, and the numbers are still read:
    both forms record the same. A name the header does not define, as the command's ID or in an
    option, stops the scenario before the command runs, with an error naming the line and the word."""
    log, button = "%d" % R.IDC_LOG_TEXT, "%d" % R.IDC_REP_REPORT
    calls = ctx.scenario("names", ["text IDC_LOG_TEXT", "text " + log,
                                   "press IDC_MAIN_REPORT cancel click:IDC_REP_REPORT",
                                   "press %d cancel click:%s" % (R.IDC_MAIN_REPORT, button)])
    by_name, by_number = records(calls, "text")
    expect(by_name == by_number and by_name["id"] == R.IDC_LOG_TEXT, "text records %r, %r" % (by_name, by_number))
    shown = records(calls, "modal")
    expect(len(shown) == 4 and shown[:2] == shown[2:] and shown[1]["caption"] == "Ошибка отчета",
           "the report dialog and its box, by name and by number: %r" % shown)
    for n, (lines, line, verb, word) in enumerate(UNKNOWN_NAMES):
        path = os.path.join(ctx.work, "unknown-name-%d.txt" % n)
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(["state"] + lines) + "\n")
        code, out, err = ctx.host_sim("--auto", winenv.Wine.path(path))
        want = "scenario line %d: %s: unknown name %s (not defined in resources/resource.h)" % (line, verb, word)
        expect(code == 4 and want in err, "%s: exit %d, %r" % (word, code, err.strip()))
        recorded = [json.loads(l) for l in out.splitlines() if l.strip()]
        expect(not records(recorded, "modal") and not records(recorded, "no-modal"),
               "%s: the command ran: %r" % (word, recorded))


MAIN_TABS = [["Хроматограммы", "Смеси"],
             ["Инфо. по хрм.", "Инфо. о смеси.", "Промежуточные расчеты", "Результаты расчета", "График",
              "Системные сообщения"]]


WS_POPUP, WS_CAPTION, WS_SYSMENU, WS_THICKFRAME = 0x80000000, 0x00C00000, 0x00080000, 0x00040000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_EX_APPWINDOW = 0x00020000, 0x00010000, 0x00040000


def test_main_window(ctx):
    """One window for two menu commands, closing only hides it; caption, tabs, buttons, lists, screenshot."""
    artefacts = artefacts_dir(ctx)
    shot = os.path.join(artefacts, "main-window-%s.png" % ctx.arch)
    dump = os.path.join(ctx.work, "lists")
    if os.path.exists(shot):
        os.remove(shot)
    calls = ctx.scenario("main", ["counts", "state", "command", "counts", "tab IDC_MAIN_LOWER_TABS 3", "close",
                                  "state", "command", "state", "recalculate", "press IDC_MAIN_RECALCULATE", "state",
                                  "dump " + winenv.Wine.path(dump), "shot " + winenv.Wine.path(shot)])
    first, second = map(live_objects, records(calls, "counts"))
    expect(first == second, "a second menu command changed the windows: %r -> %r" % (first, second))
    opened, closed, reopened, last = records(calls, "state")
    expect(opened["caption"] == DESCRIPTION, "caption %r" % opened["caption"])
    # The template's styles as listed: a pop-up with caption, system menu, resizable frame,
    # minimize and maximize boxes; nothing more, so the owned window has no taskbar button.
    framed = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX
    expect(opened["style"] & framed == framed, "main window style 0x%08x" % opened["style"])
    expect(not opened["exStyle"] & WS_EX_APPWINDOW, "main window extended style 0x%08x" % opened["exStyle"])
    expect([strip(opened, i)["captions"] for i in (R.IDC_MAIN_UPPER_TABS, R.IDC_MAIN_LOWER_TABS)] == MAIN_TABS,
           "tabs %r" % [t["captions"] for t in opened["tabs"]])
    visible = [[p["text"] for p in strip(opened, i)["pages"] if p["visible"]]
               for i in (R.IDC_MAIN_UPPER_TABS, R.IDC_MAIN_LOWER_TABS)]
    expect(visible == [["Хроматограммы"], ["Инфо. по хрм."]], "pages shown at start %r" % visible)
    buttons = {b["id"]: b["text"] for b in opened["buttons"]}
    expect(buttons == {R.IDC_MAIN_RECALCULATE: "Пересчитать", R.IDC_MAIN_COMPONENTS: "Компоненты",
                       R.IDC_MAIN_SETTINGS: "Настройки", R.IDC_MAIN_REPORT: "Отчет"},
           "buttons %r" % buttons)
    expect(opened["recalculations"] == 1, "initialisation ran %r recalculations" % opened["recalculations"])
    expect(opened["visible"] and not closed["visible"] and reopened["visible"], "close hides, command shows again")
    expect(strip(reopened, R.IDC_MAIN_LOWER_TABS)["selected"] == 3, "the reopened window lost its tab")
    shown = [p["text"] for p in strip(reopened, R.IDC_MAIN_LOWER_TABS)["pages"] if p["visible"]]
    expect(shown == ["Результаты расчета"], "pages shown after selecting tab 3: %r" % shown)
    recalculated = records(calls, "recalculated")[0]["recalculations"]
    expect(recalculated == 2 and last["recalculations"] == 3, "recalculations %r, %r" % (recalculated, last))
    with open(os.path.join(dump, dumped("Результаты расчета", R.IDC_TABLE_LIST)), encoding="utf-8") as f:
        results = f.read()
    expect(results == "№\tПик\tКанал\tКоэфф. B\tКоэфф. b\tСоотв. b\tКоэфф. корреляции R\tНорматив\tСоотв. R\n",
           "results table dump %r" % results)
    with open(os.path.join(dump, dumped("Хроматограммы", R.IDC_ASSAY_LIST)), encoding="utf-8") as f:
        expect(f.read() == "№\tПроба\tВремя анализа\tСмесь\n", "assay list headers")
    expect(records(calls, "shot")[0]["saved"], "no screenshot")
    with open(shot, "rb") as f:
        expect(f.read(8) == b"\x89PNG\r\n\x1a\n", "the screenshot is no PNG")


def test_resize(ctx):
    """Resizing keeps within the track limits and moves the pages with their strips."""
    calls = ctx.scenario("resize", ["state", "resize 200 200", "resize 5000 5000", "resize 1100 800"])
    start, small, large, middle = records(calls, "state")
    w, h = start["size"]
    expect(small["size"] == [w, h], "shrunk to %r, minimum %r" % (small["size"], [w, h]))
    expect(large["size"] == [w + 800, h + 1000], "grown to %r from %r" % (large["size"], [w, h]))
    expect(middle["size"] == [1100, 800], "resized to %r" % middle["size"])
    dw, dh = 1100 - w, 800 - h
    upper0, lower0 = strip(start, R.IDC_MAIN_UPPER_TABS)["rect"], strip(start, R.IDC_MAIN_LOWER_TABS)["rect"]
    upper, lower = strip(middle, R.IDC_MAIN_UPPER_TABS), strip(middle, R.IDC_MAIN_LOWER_TABS)
    expect(upper["rect"][2] - upper0[2] == dw and abs(upper["rect"][3] - upper0[3] - dh * 0.2) <= 1,
           "upper strip %r from %r" % (upper["rect"], upper0))
    expect(abs(lower["rect"][1] - lower0[1] - dh * 0.2) <= 1 and abs(lower["rect"][3] - lower0[3] - dh) <= 1,
           "lower strip %r from %r" % (lower["rect"], lower0))
    buttons = {b["id"]: b["rect"] for b in middle["buttons"]} == {b["id"]: b["rect"] for b in start["buttons"]}
    expect(buttons, "the buttons moved")
    for s in (upper, lower):
        c = s["client"]
        for page in s["pages"]:
            expect(page["rect"] == [c[0] + 2, c[1] + 22, c[2] - 4, c[3] - 4], "page %r in %r" % (page, c))


def test_settings_dialog(ctx):
    """OK writes the profile keys and recalculates; Cancel changes nothing."""
    profile = os.path.join(ctx.work, "settings-profile.txt")
    key = "plugins\\Tessaro\\ProgramSettings/"
    calls = ctx.scenario("settings-ok", ["press IDC_MAIN_SETTINGS ok set:IDC_SET_DIGITS_PROGRAM=5 "
                                         "check:IDC_SET_PRESSURE=1", "state"], profile)
    modal = records(calls, "modal")[0]
    c = controls(modal)
    expect(modal["caption"] == "Настройки", "caption %r" % modal["caption"])
    expect([c[i]["text"] for i in (R.IDC_SET_GROUP, R.IDC_SET_DIGITS_LABEL, R.IDC_SET_REPORT_LABEL,
                                   R.IDC_SET_PRESSURE, R.IDC_SET_TEMPERATURE, R.IDC_SET_OK, R.IDC_SET_CANCEL)] ==
           ["Округление значений", "В программе:", "В отчете:", "Корректировка по давлению",
            "Корректировка по температуре", "ОК", "Отмена"], "texts %r" % modal)
    program, report = c[R.IDC_SET_DIGITS_PROGRAM], c[R.IDC_SET_DIGITS_REPORT]
    expect(program["text"] == "3" and report["text"] == "3", "digits shown %r %r" % (program, report))
    expect(not c[R.IDC_SET_TEMPERATURE]["enabled"] and c[R.IDC_SET_PRESSURE]["enabled"],
           "the temperature box must be disabled")
    expect(records(calls, "state")[0]["recalculations"] == 2, "OK did not recalculate")
    stored = profile_values(profile, key)
    expect(stored == {"qtySymInProg": "5", "enPressCorrect": "1", "enTempCorrect": "0"}, "profile after OK %r" % stored)
    with open(profile, "rb") as f:
        before = f.read()
    calls = ctx.scenario("settings-cancel", ["press IDC_MAIN_SETTINGS cancel set:IDC_SET_DIGITS_PROGRAM=7 "
                                             "check:IDC_SET_PRESSURE=0", "state",
                                             "press IDC_MAIN_SETTINGS ok"], profile)
    expect(records(calls, "state")[0]["recalculations"] == 1, "Cancel recalculated")
    shown = controls(records(calls, "modal")[1])
    expect(shown[R.IDC_SET_DIGITS_PROGRAM]["text"] == "5" and shown[R.IDC_SET_PRESSURE]["checked"] == 1,
           "Cancel changed the values: %r" % shown)
    with open(profile, "rb") as f:
        expect(f.read() == before, "Cancel, then OK without changes, altered the profile")


def test_about_box(ctx):
    """The system-menu item opens the About box with name, version, maker, notice and description."""
    info = json.loads(ctx.host_sim("--info")[1])
    calls = ctx.scenario("about", ["sysmenu IDM_ABOUT ok"])
    modal = records(calls, "modal")[0]
    c = controls(modal)
    expect(modal["caption"] == "О плагине", "caption %r" % modal["caption"])
    got = [c[i]["text"] for i in (R.IDC_ABOUT_NAME, R.IDC_ABOUT_VERSION_LABEL, R.IDC_ABOUT_VERSION,
                                  R.IDC_ABOUT_COMPANY, R.IDC_ABOUT_NOTICE, R.IDC_ABOUT_DESCRIPTION)]
    expect(got == ["Tessaro", "Версия:", "0.14.0.0", info["company"], info["legalNotice"], DESCRIPTION],
           "About texts %r" % got)


def test_no_leaks(ctx):
    """200 settings dialogs, 200 About boxes and 100 components dialogs leave the GDI objects and
    windows as they were;
    a failure inside a handler ends in a message box and the window keeps working."""
    calls = ctx.scenario("leaks", ["counts", "repeat 200 press IDC_MAIN_SETTINGS cancel",
                                   "repeat 200 sysmenu IDM_ABOUT ok",
                                   "repeat 100 press IDC_MAIN_COMPONENTS cancel", "counts",
                                   "fail", "counts"])
    before, after, failed = map(live_objects, records(calls, "counts"))
    expect(before == after == failed, "counts %r -> %r -> %r" % (before, after, failed))
    expect(before["windows"] > 10, "the windows were not counted: %r" % before)
    box = records(calls, "modal")[0]
    message = next(x["text"] for x in box["controls"] if "test failure" in x["text"])
    expect(message.startswith("Операция не выполнена"), "failure box %r" % message)
    expect(records(calls, "alive")[0]["answer"] == 1, "the window stopped answering after a failure")


PRECONDITION = ("Для расчет требуется по 5 анализов (посадок) пяти градуировочных смесей, "
                "ГОСТ 31371.7 - 2020 (пунткы Б.1 и Б.4).")


def test_message_log(ctx):
    """The empty calculation's precondition error in the log; the check boxes hide and show it;
    a recalculation empties the log first and keeps the switches."""
    calls = ctx.scenario("log", ["text IDC_LOG_ERRORS", "text IDC_LOG_WARNINGS", "text IDC_LOG_INFO",
                                 "text IDC_LOG_TEXT", "click IDC_LOG_ERRORS", "text IDC_LOG_ERRORS",
                                 "text IDC_LOG_TEXT", "recalculate", "text IDC_LOG_TEXT", "click IDC_LOG_ERRORS",
                                 "text IDC_LOG_TEXT", "click IDC_LOG_WARNINGS", "click IDC_LOG_INFO",
                                 "text IDC_LOG_TEXT"])
    texts = records(calls, "text")
    boxes = texts[:3]
    start, unchecked, hidden, recalculated, shown, others_off = texts[3:]
    expect([(b["text"], b["checked"]) for b in boxes] == [("Ошибки", 1), ("Предупреждения", 1), ("Информация", 1)],
           "check boxes %r" % boxes)
    error = "1.  Ошибка! \r\n\t" + PRECONDITION + "\r\n"
    expect(start["text"] == error, "log after the first command %r" % start["text"])
    expect(unchecked["checked"] == 0 and hidden["text"] == "", "errors hidden: %r, %r" % (unchecked, hidden))
    expect(recalculated["text"] == "", "after recalculating with errors hidden %r" % recalculated["text"])
    expect(shown["text"] == error, "errors shown again after a recalculation %r" % shown["text"])
    expect(others_off["text"] == error, "warnings and information hidden %r" % others_off["text"])


# The dumps of the chromatogram and mixture lists.
ASSAY_TABLE = dumped("Хроматограммы", R.IDC_ASSAY_LIST)
MIXTURE_TABLE = dumped("Смеси", R.IDC_MIXTURE_LIST)


def test_assay_pages(ctx):
    """Adding every visible chromatogram, the information tables, the mixture pages, the filter,
    opening, deleting and reloading, over the generated sample data; the database stays untouched."""
    database = sample_data(ctx)
    digest = file_digest(database)
    dumps = os.path.join(ctx.work, "assay-dumps")
    if os.path.exists(dumps):
        shutil.rmtree(dumps)
    os.makedirs(dumps)

    def dump(n):
        return "dump " + winenv.Wine.path(os.path.join(dumps, str(n)))
    lines = ["select 26,27,28,29", "press IDC_ASSAY_ADD", "state",  # hidden and deleted ones only: nothing happens
             "select all", "press IDC_ASSAY_ADD", dump(1), "state",
             "click IDC_ASSAY_LIST 1", dump(2), "combo IDC_ASSAY_FILTER",
             "tab IDC_MAIN_UPPER_TABS 1", dump(3), "click IDC_MIXTURE_LIST 2", dump(4), "tab IDC_MAIN_UPPER_TABS 0",
             "combo IDC_ASSAY_FILTER 2", dump(5), "combo IDC_ASSAY_FILTER 0",
             "pick IDC_ASSAY_LIST 0", "press IDC_ASSAY_OPEN", "dblclick IDC_ASSAY_LIST 1,2",
             "click IDC_ASSAY_LIST 0", "press IDC_ASSAY_DELETE", dump(6),
             "press IDC_MAIN_RECALCULATE", dump(7),
             "combo IDC_ASSAY_FILTER 1", "pick IDC_ASSAY_LIST none", "press IDC_ASSAY_DELETE_ALL", dump(8),
             "combo IDC_ASSAY_FILTER",
             "press IDC_ASSAY_DELETE_ALL", dump(9), "tab IDC_MAIN_UPPER_TABS 1", dump(10), "state"]
    calls = ctx.scenario("assays", lines, args=["--db", winenv.Wine.path(database)], calls=True)
    table = lambda n, name: read_table(os.path.join(dumps, str(n)), name)
    states = records(calls, "state")
    expect(states[0]["recalculations"] == 1, "hidden assays requested a recalculation: %r" % states[0])

    listed = table(1, ASSAY_TABLE)
    expect(len(listed) == 26, "%d chromatograms listed" % len(listed))
    expect([r[0] for r in listed] == [str(i) for i in range(1, 27)], "row numbers %r" % [r[0] for r in listed])
    expect(listed[0][1].startswith("Воздух") and listed[0][3] == "---", "the blank comes first: %r" % listed[0])
    mixtures = [r[3] for r in listed[1:]]
    expect(mixtures == sorted(mixtures) and len(set(mixtures)) == 5, "mixture column %r" % mixtures)
    expect(all(r[1].startswith(r[3]) for r in listed[1:]), "samples and mixtures disagree: %r" % listed[:3])
    expect(all(len(r[2]) == 15 and r[2][8:10] == "  " for r in listed), "dates %r" % [r[2] for r in listed[:3]])
    expect(states[1]["recalculations"] == 2, "adding requested %r" % states[1]["recalculations"])

    info = table(2, dumped("Инфо. по хрм.", R.IDC_TABLE_LIST))
    separators = [i for i, r in enumerate(info) if r[1] == "-" * 34]
    expect(len(separators) == 1, "separators %r" % separators)
    peaks = [r for r in info if r[1] != "-" * 34]
    expect([r[0] for r in peaks] == [str(i) for i in range(1, len(peaks) + 1)], "peak numbers %r" % peaks)
    channels = [r[2] for r in info if r[1] != "-" * 34]
    split = separators[0]
    expect(set(channels[:split]) == {"1"} and set(channels[split:]) == {"2"}, "channels %r" % channels)
    expect(all(len(r[3].split(".")[1]) == 3 for r in peaks), "areas not with 3 decimals: %r" % peaks[:2])

    combos = records(calls, "combo")
    entries = [e["text"] for e in combos[0]["items"]]
    expect(entries[0] == "Все" and entries[1:] == sorted(set(mixtures)), "filter entries %r" % entries)

    mixture_rows = table(3, MIXTURE_TABLE)
    expect([r[1] for r in mixture_rows] == entries[1:], "mixture list %r" % mixture_rows)
    expect([r[0] for r in mixture_rows] == ["1", "2", "3", "4", "5"], "mixture numbers %r" % mixture_rows)
    composition = table(4, dumped("Инфо. о смеси.", R.IDC_TABLE_LIST))
    expect(len(composition) > 5 and composition[0][0] == "1", "composition %r" % composition)
    expect(all(len(r[2].split(".")[1]) == 3 for r in composition), "concentrations %r" % composition[:2])

    filtered = table(5, ASSAY_TABLE)
    expect(len(filtered) == 5 and {r[3] for r in filtered} == {entries[2]}, "filtered %r" % filtered)
    expect([r[0] for r in filtered] == ["1", "2", "3", "4", "5"], "filtered numbers %r" % filtered)

    opened = [c["path"] for c in calls if c.get("call") == "CallService" and c["name"] == "Main/OpenAssayFile"]
    expect(len(opened) == 3 and opened[0].endswith("assay-030.chr"), "opened %r" % opened)
    expect(all(p.startswith("Z:\\") and p.endswith(".chr") for p in opened), "opened %r" % opened)

    after_delete = table(6, ASSAY_TABLE)
    expect(after_delete == [[str(i)] + r[1:] for i, r in enumerate(listed[1:], 1)], "delete of one: %r" % after_delete[:2])
    expect(table(7, ASSAY_TABLE) == after_delete, "reload changed the list")
    without_first = table(8, ASSAY_TABLE)
    expect(len(without_first) == 20 and entries[1] not in {r[3] for r in without_first},
           "delete all of one mixture: %r" % [r[3] for r in without_first])
    expect(combos[-1]["selected"] == 0 and [e["text"] for e in combos[-1]["items"]] == ["Все"] + entries[2:],
           "the filter after its mixture went: %r" % combos[-1])
    expect(table(9, ASSAY_TABLE) == [] and table(10, MIXTURE_TABLE) == [], "delete all left rows")
    expect(states[-1]["recalculations"] == 6, "recalculations %r" % states[-1]["recalculations"])
    expect(file_digest(database) == digest, "the host database changed")


def test_assay_database_failure(ctx):
    """A database failure while adding ends in a message box with the message and the code;
    the list is as it was before the Add (no chromatogram half-read without its peaks), and a
    recalculation runs before the box."""
    broken = os.path.join(ctx.work, "broken.db")
    shutil.copyfile(sample_data(ctx), broken)
    connection = sqlite3.connect(broken)
    connection.execute("ALTER TABLE peak RENAME TO peaks_gone;")
    connection.commit()
    connection.close()
    dumps = os.path.join(ctx.work, "broken-dumps")
    os.makedirs(dumps, exist_ok=True)
    calls = ctx.scenario("broken", ["select 1,2", "press IDC_ASSAY_ADD ok", "dump " + winenv.Wine.path(dumps),
                                    "state"],
                         args=["--db", winenv.Wine.path(broken)])
    box = records(calls, "modal")
    expect(len(box) == 1, "no message box: %r" % calls)
    message = next((x["text"] for x in box[0]["controls"] if "Код" in x["text"]), "")
    expect("no such table: peak" in message and "Код: 1" in message, "failure box %r" % message)
    listed = read_table(dumps, ASSAY_TABLE)
    expect(listed == [], "after the failure %r" % listed)
    expect(records(calls, "state")[0]["recalculations"] == 2, "no recalculation after the failure")


# The five section switches of the report dialog, in their order.
REPORT_SECTIONS = (R.IDC_REP_ASSAYS, R.IDC_REP_MIXTURES, R.IDC_REP_MIXTURE_INFO, R.IDC_REP_RESULTS, R.IDC_REP_GRAPH)


def test_report_dialog(ctx):
    """OK stores the seven report settings; Report without data, or in a host without
    "Main/OpenAssayFile", answers with its message box and leaves the dialog open."""
    profile = os.path.join(ctx.work, "report-profile.txt")
    key = "plugins\\Tessaro\\ReportSettings/"
    calls = ctx.scenario("report-ok", ["press IDC_MAIN_REPORT ok set:IDC_REP_DEVICE=Хром-5/7 "
                                       "set:IDC_REP_OPERATOR=Иванов check:IDC_REP_ASSAYS=1 "
                                       "check:IDC_REP_MIXTURE_INFO=1 check:IDC_REP_GRAPH=1"], profile)
    modal = records(calls, "modal")[0]
    c = controls(modal)
    expect(modal["caption"] == "Отчет", "caption %r" % modal["caption"])
    labels = (R.IDC_REP_DEVICE_LABEL, R.IDC_REP_OPERATOR_LABEL, R.IDC_REP_GROUP)
    buttons = (R.IDC_REP_REPORT, R.IDC_REP_OK, R.IDC_REP_CANCEL)
    expect([c[i]["text"] for i in labels + REPORT_SECTIONS + buttons] ==
           ["Номер прибора:", "Оператор:", "Настройка содержимого отчета", "Список хроматограмм", "Список смесей",
            "Данные по смесям", "Результаты проверки", "График", "Отчет", "ОК", "Отмена"], "texts %r" % modal)
    expect(all(c[i]["checked"] == 0 for i in REPORT_SECTIONS) and c[R.IDC_REP_DEVICE]["text"] == "",
           "an empty profile must show an empty dialog: %r" % modal)
    with open(profile, encoding="utf-8") as f:
        stored = dict((line.split("\t")[1], line.split("\t")[2]) for line in f.read().splitlines() if line)
    want = {"DeviceNumber": "Хром-5/7", "Operator": "Иванов", "enableAssayList": "1", "enableMixtureList": "0",
            "enableMixtureInfo": "1", "enableResultCheck": "0", "enableGraph": "1"}
    expect(all(stored.get(key + k) == v for k, v in want.items()), "profile after OK %r" % stored)

    for name, extra, text in (("report-no-data", [], "Недостаточно данных для формирования отчета!"),
                              ("report-old-host", ["--withdraw", "Main/OpenAssayFile"],
                               "Невозможно сформировать отчет в текущей версии ПО Norvane.")):
        calls = ctx.scenario(name, ["press IDC_MAIN_REPORT cancel click:IDC_REP_REPORT"], profile, extra)
        shown = records(calls, "modal")
        expect(len(shown) == 2, "%s: dialog and message box expected, got %r" % (name, shown))
        expect(controls(shown[0])[R.IDC_REP_DEVICE]["text"] == "Хром-5/7",
               "%s: the stored texts were not shown" % name)
        box = shown[1]
        expect(box["caption"] == "Ошибка отчета", "%s: box caption %r" % (name, box["caption"]))
        expect(any(x["text"] == text for x in box["controls"]), "%s: box %r" % (name, box))


def test_graph_page(ctx):
    """Before any chromatogram the graph page shows an empty chart; 500 repaints and 21 report
    pictures (1000 x 1000, 32 bits) leave no GDI object behind."""
    artefacts = artefacts_dir(ctx)
    picture = os.path.join(artefacts, "report-graph-%s.png" % ctx.arch)
    dump = os.path.join(ctx.work, "graph-lists")
    calls = ctx.scenario("graph", ["tab IDC_MAIN_LOWER_TABS 4", "choose График IDC_GRAPH_CHANNEL 0",
                                   "choose График IDC_GRAPH_COMPONENT 0", "counts",
                                   "repeat 500 redraw График", "counts", "reportgraph " + winenv.Wine.path(picture),
                                   "repeat 20 reportgraph", "counts", "dump " + winenv.Wine.path(dump)])
    before, painted, drawn = records(calls, "counts")
    expect(painted["graphRenders"] - before["graphRenders"] >= 500, "the chart was not repainted: %r" % painted)
    for c in (painted, drawn):
        expect((c["gdi"], c["surface"], c["windows"]) == (before["gdi"], before["surface"], before["windows"]),
               "counts %r -> %r" % (before, c))
    expect(before["surface"] == 0, "plot objects alive between drawings: %r" % before)
    report = records(calls, "reportgraph")[0]
    expect(report["result"] == 0 and report["inked"] > 1000 and report["saved"], "report picture %r" % report)
    with open(os.path.join(dump, dumped("График", R.IDC_GRAPH_LEVELS)), encoding="utf-8") as f:
        expect(f.read() == "№\tКонцентрация, моль%\tПлощадь\n", "graph level list")



CALC_INFO_HEADERS = ["№", "Пик", "Анализов", "Сум. площадей", "Ср. площадь", "ОСКО", "Абс. расш. н. моль%",
                     "Отн. расш. н, %", "Норматив ОСКО", "Соответствие ОСКО", "Конц. расч. моль%", "Расх. отн., %",
                     "σk (табл. 4), %", "Норматив, %", "Соответствие"]
CALC_INFO_WIDTHS = [40, 200, 80, 110, 80, 80, 140, 140, 110, 120, 150, 90, 110, 110, 110]


def test_calc_info_columns(ctx):
    """The column menu of the intermediate results hides a column, and the profile keeps it hidden
    across a restart of the host; showing it again restores its width. After the columns and a
    separator the menu ends with "Копировать"."""
    profile = os.path.join(ctx.work, "columns-profile.txt")
    menu = "menu IDC_MAIN_LOWER_TABS 2 IDC_TABLE_LIST"
    calls = ctx.scenario("columns-hide", ["tab IDC_MAIN_LOWER_TABS 2", menu + " 5", menu], profile)
    first, second = records(calls, "menu")
    columns, rest = first["items"][:len(CALC_INFO_HEADERS)], first["items"][len(CALC_INFO_HEADERS):]
    expect([i["text"] for i in columns] == CALC_INFO_HEADERS, "menu items %r" % first["items"])
    commands = list(range(R.IDM_CALC_COLUMN_FIRST, R.IDM_CALC_COLUMN_FIRST + len(CALC_INFO_HEADERS)))
    expect([i["command"] for i in columns] == commands, "menu commands %r" % first["items"])
    expect(all(i["checked"] for i in columns), "a column unchecked in a fresh profile")
    expect([(i["text"], i["command"], i["checked"]) for i in rest]
           == [("", 0, False), ("Копировать", R.IDM_TABLE_COPY, False)], "the menu's end %r" % rest)
    expect(first["widths"] == CALC_INFO_WIDTHS, "widths at start %r" % first["widths"])
    expect(not second["items"][5]["checked"] and second["widths"][5] == 0, "ОСКО not hidden: %r" % second)
    stored = profile_values(profile, "plugins\\Tessaro\\TablesSettings\\CalcInfo/")
    expect(stored.get("qtyCols") == "15" and stored.get("5_visible") == "0" and stored.get("5_width") == "80"
           and stored.get("4_visible") == "1" and stored.get("14_id") == "14", "stored column settings %r" % stored)

    calls = ctx.scenario("columns-restart", [menu, menu + " 5", menu], profile)
    reopened, _, shown = records(calls, "menu")
    expect(not reopened["items"][5]["checked"] and reopened["widths"][5] == 0,
           "after a restart ОСКО is shown: %r" % reopened)
    expect(reopened["widths"][:5] == CALC_INFO_WIDTHS[:5], "other widths after a restart %r" % reopened["widths"])
    expect(shown["items"][5]["checked"] and shown["widths"][5] == 80, "showing ОСКО again %r" % shown)


def test_components_dialog(ctx):
    """The catalogue in the components dialog: default names refuse editing, an alternative name
    edited to iC4 is stored on OK and a recalculation follows; Cancel drops an edit; Tab ends an
    edit and moves on."""
    profile = os.path.join(ctx.work, "components-profile.txt")
    prefix = "plugins\\Tessaro\\Components/"
    calls = ctx.scenario("components-ok", ["press IDC_MAIN_COMPONENTS ok edit:IDC_COMP_LIST:3:1=X "
                                           "edit:IDC_COMP_LIST:3:2=iC4", "state"], profile)
    modal = records(calls, "modal")[0]
    c = controls(modal)
    expect(modal["caption"] == "Компоненты", "caption %r" % modal["caption"])
    ok, cancel = c[R.IDC_COMP_OK], c[R.IDC_COMP_CANCEL]
    expect(ok["text"] == "ОК" and cancel["text"] == "Отмена", "buttons %r %r" % (ok, cancel))
    rows = c[R.IDC_COMP_LIST]["rows"]
    expect(len(rows) == 19 and rows[0] == ["1", "Метан", "Метан"] and rows[3] == ["4", "Изобутан", "Изобутан"],
           "catalogue rows %r" % rows)
    name, alt = records(calls, "cell-edit")
    expect(not name["opened"] and name["text"] == "Изобутан", "the name of a default entry was editable: %r" % name)
    expect(alt["opened"] and alt["text"] == "iC4", "alternative name edit %r" % alt)
    expect(records(calls, "state")[0]["recalculations"] == 2, "OK did not request a recalculation")
    expect(profile_values(profile, prefix) == {"qtyComps": "19", "3_altName": "iC4"},
           "profile after OK %r" % profile_values(profile, prefix))

    with open(profile, "rb") as f:
        before = f.read()
    calls = ctx.scenario("components-cancel", ["press IDC_MAIN_COMPONENTS cancel edit:IDC_COMP_LIST:3:2=i-C4",
                                               "state", "press IDC_MAIN_COMPONENTS cancel"],
                         profile)
    expect(records(calls, "cell-edit")[0]["text"] == "i-C4", "the edit did not reach the cell")
    expect(records(calls, "state")[0]["recalculations"] == 1, "Cancel recalculated")
    shown, reopened = records(calls, "modal")
    expect(controls(shown)[R.IDC_COMP_LIST]["rows"][3] == ["4", "Изобутан", "iC4"], "the stored name was not loaded")
    expect(controls(reopened)[R.IDC_COMP_LIST]["rows"][3] == ["4", "Изобутан", "iC4"], "Cancel kept the edit")
    with open(profile, "rb") as f:
        expect(f.read() == before, "Cancel altered the profile")

    # Tab in an open editor ends the edit keeping the text, and the focus goes on to the next control.
    calls = ctx.scenario("components-tab", ["press IDC_MAIN_COMPONENTS cancel tabedit:IDC_COMP_LIST:3:2=iso"], profile)
    tab = records(calls, "cell-edit")[0]
    expect(tab["opened"] and not tab["editorLeft"] and tab["text"] == "iso", "Tab in the editor: %r" % tab)
    expect(tab["focus"] not in (0, R.IDC_COMP_LIST, R.IDC_GRID_EDITOR), "Tab left the focus at %r" % tab["focus"])
    # Shift+Tab likewise, the focus going back the other way.
    calls = ctx.scenario("components-backtab", ["press IDC_MAIN_COMPONENTS cancel backtabedit:IDC_COMP_LIST:3:2=iso"],
                         profile)
    back = records(calls, "cell-edit")[0]
    expect(back["opened"] and not back["editorLeft"] and back["text"] == "iso", "Shift+Tab in the editor: %r" % back)
    expect(back["focus"] not in (0, R.IDC_COMP_LIST, R.IDC_GRID_EDITOR, tab["focus"]),
           "Shift+Tab left the focus at %r (Tab at %r)" % (back["focus"], tab["focus"]))



def test_results_match_check(ctx):
    """Adding every visible chromatogram of the sample data gives, cell for cell, the results table
    the command-line check prints for the same database."""
    database = sample_data(ctx)
    dumps = os.path.join(ctx.work, "results-dumps")
    shutil.rmtree(dumps, ignore_errors=True)
    kept = os.path.join(artefacts_dir(ctx), "results-%s.tsv" % ctx.arch)
    if os.path.exists(kept):
        os.remove(kept)
    # Every table filled, the information tables too (a chromatogram and the mixture that
    # expires after 2038), so that the two DLLs' dates and numbers can be compared.
    ctx.scenario("results", ["select all", "press IDC_ASSAY_ADD", "recalculate", "tab IDC_MAIN_UPPER_TABS 1",
                             "click IDC_MIXTURE_LIST 4", "tab IDC_MAIN_UPPER_TABS 0", "click IDC_ASSAY_LIST 0",
                             "dump " + winenv.Wine.path(dumps)],
                 args=["--db", winenv.Wine.path(database)])
    with open(os.path.join(dumps, dumped("Результаты расчета", R.IDC_TABLE_LIST)), encoding="utf-8") as f:
        text = f.read()
    lines = text.splitlines()
    shown_heading, shown = lines[0].split("\t"), [line.split("\t") for line in lines[1:]]

    native = native_dir(ctx)
    folder = os.path.join(ctx.work, "sample-native")
    if not os.path.exists(os.path.join(folder, "host.db")):
        subprocess.run([os.path.join(native, "tessaro-sample"), "--out", folder], check=True, capture_output=True)
    check = subprocess.run([os.path.join(native, "tessaro-check"), "--db", os.path.join(folder, "host.db")],
                           check=True, capture_output=True).stdout.decode("utf-8")
    printed_heading, printed = aligned_table(check)
    expect(shown_heading == printed_heading, "headings %r against %r" % (shown_heading, printed_heading))
    expect(len(shown) > 10, "only %d result rows" % len(shown))
    expect(shown == printed, "the results differ:\n%s\n---\n%s" % (shown[:4], printed[:4]))
    verdicts = [row[5] for row in shown if row[0]]
    expect(set(verdicts) <= {"Да", "Нет", "---"} and "Да" in verdicts, "verdicts %r" % verdicts)
    # Rows read apart: peaks by their formulas, no two rows of one peak and channel that disagree.
    rows = [row for row in shown if row[0]]
    expect(not any(row[1].isdigit() for row in rows), "bare numbers for peaks: %r" % [r[1] for r in rows])
    seen = {}
    for row in rows:
        seen.setdefault((row[1], row[2]), set()).add((row[5], row[8]))
    expect(all(len(v) == 1 for v in seen.values()), "rows that cannot be told apart: %r" % seen)
    # Kept for the comparison of the two DLLs' tables after both runs (tests/e2e/same_results.py).
    with open(kept, "w", encoding="utf-8") as f:
        f.write(text)
    every = os.path.join(artefacts_dir(ctx), "tables-%s" % ctx.arch)
    shutil.rmtree(every, ignore_errors=True)
    shutil.copytree(dumps, every)


REPORT_ALL = ("press IDC_MAIN_REPORT ok set:IDC_REP_DEVICE=ХГ-2/0417 set:IDC_REP_OPERATOR=Кузнецова "
              "check:IDC_REP_ASSAYS=1 check:IDC_REP_MIXTURES=1 check:IDC_REP_MIXTURE_INFO=1 "
              "check:IDC_REP_RESULTS=1 check:IDC_REP_GRAPH=1 click:IDC_REP_REPORT")
# One result of each row of the message table.
EXPORT_FAILURES = [(-1, [" - Не удалось найти шаблон отчета.", " - Отсутствует плагин формирования ODT отчетов."]),
                   (-2, [" - Не удалось создать временный файл."]), (-4, [" - Ошибка обработки временного файла."]),
                   (-6, [" - Ошибка обработки данных отчета."]), (-9, [" - Ошибка окончания формирования отчета."]),
                   (-11, [" - Неизвестная ошибка."])]


def test_report_of_sample(ctx):
    """Report on the sample data with every section: the host's export gets the document and
    writes an OpenDocument text with every section and the graph picture; each negative result of
    the export shows its message and leaves the dialog open."""
    database = sample_data(ctx)
    out = os.path.join(ctx.work, "sample-reports")
    shutil.rmtree(out, ignore_errors=True)
    calls = ctx.scenario("report-sample", ["select all", "press IDC_ASSAY_ADD", "tab IDC_MAIN_LOWER_TABS 4",
                                           "choose График IDC_GRAPH_CHANNEL 0",
                                           "choose График IDC_GRAPH_COMPONENT 0", REPORT_ALL],
                         args=["--db", winenv.Wine.path(database), "--report-out", winenv.Wine.path(out)], calls=True)
    exports = [c for c in calls if c.get("name") == "Export/ExportToOdt"]
    expect(len(exports) == 1 and exports[0]["result"] >= 0 and exports[0]["report"], "export %r" % exports)
    expect(exports[0]["template"] == "Tessaro\\ReportTemplateWitchGraph.odt", "template %r" % exports[0])
    expect(records(calls, "no-box"), "a message box after a successful report: %r" % records(calls, "modal")[1:])
    report = os.path.join(out, os.listdir(out)[0])
    kept = os.path.join(artefacts_dir(ctx), "report-%s.odt" % ctx.arch)
    shutil.copyfile(report, kept)
    package = check_package(report)
    texts = cell_texts(ElementTree.fromstring(package.read("content.xml")))
    for heading in ("Градуировочные смеси", "Хроматограммы", "Аттестованный состав смесей",
                    "Результаты проверки линейности", "График градуировочной характеристики", DEVIATIONS_HEADING):
        expect(heading in texts, "section %r missing in the report of the sample data" % heading)
    expect("ХГ-2/0417" in texts and "Кузнецова" in texts, "device and operator missing")
    expect(any(t.startswith("-- Канал") for t in texts) and "Да" in texts, "results section without rows")
    expect(any(t.startswith("Компонент: ") for t in texts), "graph component caption missing")
    for name in ("TessaroGraph.png", "TessaroDeviations.png"):
        picture = package.read("Pictures/" + name)
        expect(picture[:8] == b"\x89PNG\r\n\x1a\n" and struct.unpack(">II", picture[16:24]) == (1000, 1000),
               "embedded %s is not a 1000 x 1000 picture" % name)
    if shutil.which("soffice"):
        subprocess.run(["soffice", "--headless", "--convert-to", "pdf", "--outdir", artefacts_dir(ctx), kept],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
        pdf = os.path.splitext(kept)[0] + ".pdf"
        expect(os.path.exists(pdf) and open(pdf, "rb").read(5) == b"%PDF-", "the word processor cannot convert it")

    for code, reasons in EXPORT_FAILURES:
        calls = ctx.scenario("report-fails", ["select all", "press IDC_ASSAY_ADD", REPORT_ALL, "state"],
                             args=["--db", winenv.Wine.path(database), "--export-result", str(code)])
        shown = records(calls, "modal")
        expect(len(shown) == 2, "result %d: dialog and box expected, got %r" % (code, shown))
        box = shown[1]
        want = "Ошибка формирования отчета! Код ошибки: %d \r\nВозможные причины:\r\n" % code + \
               "".join(r + "\r\n" for r in reasons)
        expect(box["caption"] == "Ошибка формирования отчета", "result %d: caption %r" % (code, box["caption"]))
        expect(any(c["text"] == want for c in box["controls"]), "result %d: box %r, want %r" % (code, box, want))
        expect(records(calls, "state")[0]["visible"], "result %d: the window is gone" % code)


WINDOW_TESTS = [test_scenario_names, test_main_window, test_message_log, test_resize, test_settings_dialog, test_about_box,
                test_no_leaks, test_assay_pages, test_assay_database_failure, test_report_dialog, test_graph_page,
                test_calc_info_columns, test_components_dialog, test_results_match_check, test_report_of_sample]
TESTS = {"x86_64": [test_binary, test_info, test_registration, test_unload_before_the_host_window, test_report_export, test_report_export_failures] + WINDOW_TESTS
         + PAGE_TESTS + FAULT_TESTS + LOAD_TESTS + COPY_TESTS,
         "i686": [test_binary, test_info, test_registration, test_results_match_check]}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--arch", choices=["x86_64", "i686"], required=True)
    parser.add_argument("--build", required=True)
    parser.add_argument("--only", help="run only the tests whose name contains this text")
    args = parser.parse_args()
    try:
        winenv.check_can_run(args.arch)
        for required in ("Tessaro.dll", "host-sim.exe"):
            if not os.path.exists(os.path.join(args.build, required)):
                raise winenv.Skip("%s is not built in %s" % (required, args.build))
    except winenv.Skip as skip:
        print("SKIPPED: " + str(skip))
        return winenv.SKIP
    failed = 0
    ran = 0
    with winenv.xserver() as display, tempfile.TemporaryDirectory(prefix="tessaro-e2e-") as work:
        wine = winenv.Wine(args.arch, display)
        ctx = Context(args.arch, args.build, wine, work)
        try:
            for test in TESTS[args.arch]:
                if args.only and args.only not in test.__name__:
                    continue
                ran += 1
                started = time.time()
                try:
                    test(ctx)
                    print("ok   %s (%.1f s)" % (test.__name__, time.time() - started), flush=True)
                except Exception as e:  # noqa: BLE001 - every failure is reported, then the run goes on
                    failed += 1
                    print("FAIL %s: %s" % (test.__name__, e), flush=True)
                    if not isinstance(e, Failure):
                        traceback.print_exc()
        finally:
            wine.shutdown()
    print("%s: %d passed, %d failed" % (args.arch, ran - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
