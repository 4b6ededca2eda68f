#!/usr/bin/env python3
"""End-to-end tests of a Windows build under wine: the simulated host loads the
plug-in DLL and drives it. Run by ctest; exit 0 = passed, 77 = skipped."""
import argparse
import json
import os
import subprocess
import sys
import tempfile
import time
import traceback

sys.path.insert(0, os.path.dirname(__file__))
import winenv  # noqa: E402

DESCRIPTION = "Проверка линейности сигнала детектора газового хроматографа по ГОСТ 31371.7-2020, приложение Б"


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


def objdump(arch):
    return ("i686" if arch == "i686" else "x86_64") + "-w64-mingw32-objdump"


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


TESTS = {"x86_64": [test_binary, test_info, test_registration],
         "i686": [test_binary, test_info, test_registration]}


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
