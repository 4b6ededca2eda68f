#!/usr/bin/env python3
"""Whole-process cost of reading a large chromatogram, against cat of the same file.

    bench/file_read.py [--tool build/native/tessaro-file] [--megabytes 64] [--runs 15] [--keep FILE]

Writes a chromatogram of two channels (the given size of samples in all) with a
passport and 60 peaks a channel, then runs `tessaro-file info FILE >/dev/null`
and `cat FILE >/dev/null` alternately, and prints the min and median of the
elapsed, user and system times of each and its peak resident memory. The
machine is shared: read the load line printed last beside the figures.
"""
import argparse
import os
import statistics
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def xml_part(channels, peaks):
    items = "".join(
        "<item><time value=\"%.3f\"/><area value=\"%d\"/><height value=\"%d\"/><name value=\"Пик %d\"/></item>"
        % (0.5 + 0.1 * k, 1000 + k, 100 + k, k) for k in range(peaks))
    tables = "".join("<channel><number value=\"%d\"/><table>%s</table></channel>" % (n, items) for n in range(channels))
    return ("<?xml version=\"1.0\" encoding=\"utf-8\"?><root version=\"1\"><passport version=\"1\">"
            "<sample value=\"Проба\"/><atmpressure value=\"100.5\"/><airtemp value=\"21\"/></passport>"
            "<channels version=\"1\">%s</channels></root>" % tables).encode("utf-8")


def write_chromatogram(path, megabytes, channels=2, peaks=60):
    """The file layout: a 16-byte header (STG, version, offset of the XML part),
    per channel a 32-byte block header (number, two reals, count) and the
    little-endian 32-bit samples, then the XML part to the end."""
    count = megabytes * 1024 * 1024 // 4 // channels
    ramp = struct.pack("<1024i", *range(1000, 2024))
    xml_offset = 16 + channels * (32 + 4 * count)
    with open(path, "wb") as f:
        f.write(b"STG\x01" + bytes(4) + struct.pack("<Q", xml_offset))
        for number in range(channels):
            f.write(struct.pack("<B7xddQ", number, 0.05, 1.0, count))
            whole, rest = divmod(count, 1024)
            for _ in range(whole // 256):  # in pieces, so that this process stays small
                f.write(ramp * 256)
            f.write(ramp * (whole % 256) + ramp[:4 * rest])
        f.write(xml_part(channels, peaks))


def run_once(argv):
    """Elapsed, user and system seconds of one process."""
    start = time.perf_counter()
    with open(os.devnull, "wb") as null:
        process = subprocess.Popen(argv, stdout=null)
        _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("%s failed" % " ".join(argv))
    return elapsed, usage.ru_utime, usage.ru_stime


def peak_kb(argv):
    """The peak resident memory of the program alone: a child of this process
    would count this process's own memory from before its exec."""
    with tempfile.NamedTemporaryFile("r") as out:
        subprocess.run(["/usr/bin/time", "-o", out.name, "-f", "%M"] + argv, stdout=subprocess.DEVNULL, check=True)
        return int(out.read().split()[-1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", default=os.path.join(HERE, "..", "build", "native", "tessaro-file"))
    parser.add_argument("--megabytes", type=int, default=64)
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--keep", help="write the file here and leave it")
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as scratch:
        path = args.keep or os.path.join(scratch, "signal.chr")
        write_chromatogram(path, args.megabytes)
        commands = {"tessaro-file info": [args.tool, "info", path], "cat": ["cat", path]}
        for argv in commands.values():
            run_once(argv)  # the file in the page cache and the programs loaded
        figures = {name: [] for name in commands}
        for _ in range(args.runs):
            for name, argv in commands.items():
                figures[name].append(run_once(argv))
        peaks = {name: peak_kb(argv) for name, argv in commands.items()}

    print("%d MB of samples, %d runs each, alternating" % (args.megabytes, args.runs))
    print("%-18s %17s %17s %17s %10s" % ("", "elapsed min/med s", "user min/med s", "sys min/med s", "peak KB"))
    for name, rows in figures.items():
        columns = list(zip(*rows))
        cells = ["%.3f / %.3f" % (min(c), statistics.median(c)) for c in columns]
        print("%-18s %17s %17s %17s %10d" % (name, cells[0], cells[1], cells[2], peaks[name]))
    elapsed = {name: statistics.median(r[0] for r in rows) for name, rows in figures.items()}
    ratio = elapsed["tessaro-file info"] / elapsed["cat"]
    print("median elapsed ratio: %.2f" % ratio)
    print("load:", open("/proc/loadavg").read().strip())


if __name__ == "__main__":
    main()
