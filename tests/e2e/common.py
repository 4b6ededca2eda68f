"""What the end-to-end test modules share: failures, the context of a run (wine, the
build, a scratch folder), the transcript helpers and the generated sample data."""
import hashlib
import json
import os
import re
import subprocess
import sys

import winenv

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir, "tools"))
from resource_names import R  # noqa: E402  (the names of resources/resource.h)


class Failure(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failure(message)


class Context:
    def __init__(self, arch, build, wine, work):
        self.arch, self.build, self.wine, self.work = arch, build, wine, work
        self.host = os.path.join(build, "host-sim.exe")
        self.dll = os.path.join(build, "Tessaro.dll")

    def host_sim(self, *args, timeout=600):
        code, out, err = self.wine.run(self.host, ["--dll", winenv.Wine.path(self.dll)] + list(args), timeout=timeout)
        return code, out, err

    def transcript(self, *args):
        code, out, err = self.host_sim(*args)
        expect(code == 0, "host-sim exited with %d: %s" % (code, err.strip()))
        return [json.loads(line) for line in out.splitlines() if line.strip()]

    def scenario(self, name, lines, profile=None, args=(), calls=False, extra=()):
        """Runs host-sim --auto over the scenario lines; returns the transcript's host records
        (with the plug-in's calls too when asked)."""
        if not getattr(self, "unmanaged", False):
            # Without a window manager wine waits up to 2 s for every window it
            # hides; unmanaged windows are hidden at once. A prefix made by
            # tools/setup.sh has it set already (a reg process of the 32-bit
            # wine would cost some 40 s under qemu-i386).
            if not self.wine.unmanaged():
                self.wine.run("reg", ["add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N", "/f"])
            self.unmanaged = True
        path = os.path.join(self.work, name + ".txt")
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        options = ["--auto", winenv.Wine.path(path)] + list(args)
        if profile:
            options += ["--profile", winenv.Wine.path(profile)]
        options += list(extra)
        return [c for c in self.transcript(*options) if calls or "host" in c]


def records(calls, kind):
    return [c for c in calls if c.get("host") == kind]


def live_objects(counts):
    """A counts record without the process's private bytes, which move by a page now and then:
    the GDI objects, chart drawings and windows, which must stay exactly as they were."""
    return {k: v for k, v in counts.items() if k != "privateBytes"}


def strip(state, strip_id):
    return next(t for t in state["tabs"] if t["id"] == strip_id)


def controls(modal):
    return {c["id"]: c for c in modal["controls"]}


def dumped(page, list_id):
    """The file the scenario command dump writes for the list view list_id of the page with
    that caption."""
    return "%s-%d.tsv" % (page, list_id)


def read_table(folder, name):
    """A dumped list view: its rows as lists of cells (the heading line left out)."""
    with open(os.path.join(folder, name), encoding="utf-8") as f:
        lines = f.read().splitlines()
    return [line.split("\t") for line in lines[1:]]


def sample_data(ctx):
    """The generated host database and chromatograms, made once per run in the test folder."""
    folder = os.path.join(ctx.work, "sample")
    database = os.path.join(folder, "host.db")
    if not os.path.exists(database):
        native = native_dir(ctx)
        tool = os.path.join(native, "tessaro-sample")
        if not os.path.exists(tool):
            raise Failure("tessaro-sample is not built in %s" % native)
        subprocess.run([tool, "--out", folder, "--windows-paths"], check=True, capture_output=True)
    return database


def file_digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def profile_values(path, prefix):
    """The profile file's values whose key starts with the prefix, by the rest of the key."""
    with open(path, encoding="utf-8") as f:
        lines = [line.split("\t") for line in f.read().splitlines() if line]
    return {key[len(prefix):]: value for _, key, value in lines if key.startswith(prefix)}


def aligned_table(text):
    """The first table of a text whose columns are padded under their headings: the heading
    cells and the rows, each cut at the headings' positions."""
    lines = text.split("\n")
    heading = lines[0]
    starts = [m.start() for m in re.finditer(r"(?:^|(?<=  ))\S", heading)]
    def cells(line):
        return [line[a:b].strip() for a, b in zip(starts, starts[1:] + [None])]
    rows = []
    for line in lines[1:]:
        if not line.strip():
            break
        rows.append(cells(line))
    return cells(heading), rows


def native_dir(ctx):
    """The native build folder, whose tools generate data and check results."""
    return os.environ.get("TESSARO_NATIVE_DIR") or os.path.join(os.path.dirname(ctx.build), "native")


def artefacts_dir(ctx):
    """Where pictures and documents worth keeping after the run are written."""
    folder = os.path.join(os.environ.get("TESSARO_NATIVE_DIR") or ctx.work, "e2e-artifacts")
    os.makedirs(folder, exist_ok=True)
    return folder
