#!/usr/bin/env python3
"""Packs an OpenDocument text package from its source folder: "mimetype" first
and stored uncompressed, as the format requires, then every other file deflated.
Every XML file is checked for well-formedness first.

  pack_odt.py SOURCE_DIR OUT.odt [--drop-section NAME ...]

--drop-section removes the text:section of that name from content.xml, so one
source can give a template with and one without a part."""
import argparse
import os
import sys
import zipfile
from xml.dom import minidom

FIXED_TIME = (2024, 1, 1, 0, 0, 0)  # reproducible packages


def drop_sections(xml_bytes, names):
    dom = minidom.parseString(xml_bytes)
    for name in names:
        found = [s for s in dom.getElementsByTagName("text:section") if s.getAttribute("text:name") == name]
        if not found:
            raise SystemExit("pack_odt: no section %r in content.xml" % name)
        for section in found:
            section.parentNode.removeChild(section)
    return dom.toxml(encoding="UTF-8")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("source")
    parser.add_argument("output")
    parser.add_argument("--drop-section", action="append", default=[])
    args = parser.parse_args()
    files = []
    for folder, _, names in os.walk(args.source):
        for name in names:
            path = os.path.join(folder, name)
            files.append(os.path.relpath(path, args.source).replace(os.sep, "/"))
    if "mimetype" not in files or "content.xml" not in files or "META-INF/manifest.xml" not in files:
        raise SystemExit("pack_odt: %s lacks mimetype, content.xml or META-INF/manifest.xml" % args.source)
    order = ["mimetype"] + sorted(f for f in files if f != "mimetype")
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    partial = args.output + ".part"
    with zipfile.ZipFile(partial, "w") as package:
        for name in order:
            with open(os.path.join(args.source, name), "rb") as f:
                data = f.read()
            if name.endswith(".xml"):
                try:
                    minidom.parseString(data)
                except Exception as e:  # noqa: BLE001 - any parse error stops the build
                    raise SystemExit("pack_odt: %s/%s is not well-formed: %s" % (args.source, name, e))
                if name == "content.xml" and args.drop_section:
                    data = drop_sections(data, args.drop_section)
            if name == "mimetype":
                data = data.strip()
            info = zipfile.ZipInfo(name, FIXED_TIME)
            info.compress_type = zipfile.ZIP_STORED if name == "mimetype" else zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            package.writestr(info, data)
    os.replace(partial, args.output)
    return 0


if __name__ == "__main__":
    sys.exit(main())
