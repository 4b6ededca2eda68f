"""The plug-in's resource identifiers by their names in resources/resource.h, the header the
DLL and the simulated host are built with, for the scripts and tests that read what the
simulated host recorded (which keeps the ids as numbers):

    from resource_names import R
    R.IDC_SET_PRESSURE          # 1058

A name the header does not define is an AttributeError."""
import os
import re
import types

HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "resources", "resource.h")
DEFINE = re.compile(r"^#define[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]+([0-9]+)", re.MULTILINE)


def read(path=HEADER):
    """Every name the header defines as a number, with its value."""
    with open(path, encoding="utf-8") as f:
        return {name: int(value) for name, value in DEFINE.findall(f.read())}


R = types.SimpleNamespace(**read())
