#!/usr/bin/env python3
"""Writes chromatogram files of the shapes that cost a reader most, as fuzz seeds
beside the generated sample files: as many channel blocks and channel entries as
fit (beyond the reader's limit of blocks), channels at that limit sharing numbers
with entries taken in turn and beyond, an XML offset far beyond the end, and an
offset that makes the whole binary part read as XML.

Usage: chromatogram_shapes.py OUT_DIR MAX_BYTES
Every file is at most MAX_BYTES long."""
import os
import struct
import sys

BLOCK = 32
PASSPORT = (b'<?xml version="1.0" encoding="utf-8"?>\n<root version="1"><passport version="1">'
            b'<atmpressure value="101.325"/><airtemp value="21.5"/><defect value="no"/>'
            b'<column><channel value="1"/><name value="x"/></column></passport><channels version="1">')
END = b'</channels></root>\n'


def header(xml_offset, version=1):
    return b'STG' + bytes([version]) + b'\0' * 4 + struct.pack('<Q', xml_offset)


def block(number, samples=0):
    body = struct.pack('<B7xddQ', number, 0.5, 1.0, samples)
    return body + b'\1\0\0\0' * samples


def entry(number, items=1):
    item = b'<item><name value="p"/><area value="12.5"/><flags value="4294967295"/></item>'
    return b'<channel><number value="%d"/><table>%s</table></channel>' % (number, item * items)


def many_channels(max_bytes):
    """Empty blocks of channel 0 and as many entries without a number (which
    read as 0): each entry looks for the next block of its number."""
    pair = BLOCK + len(b'<channel/>')
    n = max(1, (max_bytes - 16 - len(PASSPORT) - len(END)) // pair)
    return header(16 + BLOCK * n) + block(0) * n + PASSPORT + b'<channel/>' * n + END


def channels_at_limit(max_bytes, limit=256):
    """256 blocks whose numbers repeat, and entries that take them in turn and
    then go past them, as many as fit."""
    blocks = b''.join(block(i % 8) for i in range(limit))
    room = max_bytes - 16 - len(blocks) - len(PASSPORT) - len(END)
    entries, i = [], 0
    while True:
        e = entry(i % 9)
        if room < len(e):
            break
        entries.append(e)
        room -= len(e)
        i += 1
    return header(16 + len(blocks)) + blocks + PASSPORT + b''.join(entries) + END


def shared_numbers():
    blocks = block(3, 4) + block(5, 2) + block(3) + block(44)
    xml = PASSPORT + entry(3) + entry(-1) + entry(3, 2) + entry(300) + entry(5) + entry(3, 3) + END
    return header(16 + len(blocks)) + blocks + xml


def offset_beyond_end(max_bytes):
    n = max(1, min(1000, (max_bytes - 16 - len(PASSPORT) - len(END)) // BLOCK))
    return header(1 << 62) + block(0) * n + PASSPORT + END


def offset_at_header():
    blocks = block(1, 16) + block(2, 16)
    return header(16) + blocks + PASSPORT + END


def main():
    out, max_bytes = sys.argv[1], int(sys.argv[2])
    os.makedirs(out, exist_ok=True)
    shapes = {
        'many-channels': many_channels(max_bytes),
        'channels-at-limit': channels_at_limit(max_bytes),
        'shared-numbers': shared_numbers(),
        'offset-beyond-end': offset_beyond_end(max_bytes),
        'offset-at-header': offset_at_header(),
    }
    for name, data in shapes.items():
        if len(data) <= max_bytes:
            with open(os.path.join(out, 'shape-' + name + '.chr'), 'wb') as f:
                f.write(data)


if __name__ == '__main__':
    main()
