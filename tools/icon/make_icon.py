#!/usr/bin/env python3
"""Draws the plug-in's icon (resources/tessaro.ico): a chromatogram peak over a
base line with a straight calibration line through measured points.

The picture is drawn at every size of the file by supersampling a few simple
shapes (anti-aliased), and stored as 32-bit images with alpha. Run it again
after changing the drawing:  python3 tools/icon/make_icon.py resources/tessaro.ico
"""
import math
import struct
import sys

SIZES = (16, 24, 32, 48, 64, 96)
SAMPLES = 4  # supersampling per axis

BACKGROUND = (252, 252, 248)
FRAME = (70, 80, 96)
AXIS = (90, 90, 90)
PEAK = (30, 100, 200)
PEAK_FILL = (170, 205, 240)
LINE = (205, 40, 40)
POINT = (150, 20, 20)


def peak_y(x):
    """Signal of the chromatogram in unit coordinates (0 = bottom, 1 = top)."""
    base = 0.12
    main = 0.72 * math.exp(-((x - 0.42) / 0.075) ** 2)
    small = 0.18 * math.exp(-((x - 0.78) / 0.05) ** 2)
    return base + main + small


def line_y(x):
    return 0.12 + 0.78 * x


POINTS = [0.2, 0.45, 0.7, 0.9]


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def shade(u, v, size):
    """Colour and alpha of one sample; u, v in 0..1, v growing upwards."""
    px = 1.0 / size  # one pixel in unit coordinates
    margin = 0.04
    if not (margin <= u <= 1 - margin and margin <= v <= 1 - margin):
        return None
    inner = 0.10
    colour = BACKGROUND
    # the plot area: x and y from `inner` to 1 - inner/2
    x = (u - inner) / (1 - 1.5 * inner)
    y = (v - inner) / (1 - 1.5 * inner)
    if 0 <= x <= 1 and 0 <= y <= 1:
        s = peak_y(x)
        if y <= s:
            colour = PEAK_FILL
        if abs(y - s) < max(1.1 * px, 0.035):
            colour = PEAK
    # axes
    if (abs(u - inner) < max(0.7 * px, 0.02) and v >= inner) or (abs(v - inner) < max(0.7 * px, 0.02) and u >= inner):
        colour = AXIS
    # calibration line and its points
    if 0 <= x <= 1:
        if abs(y - line_y(x)) < max(1.0 * px, 0.03):
            colour = LINE
    for p in POINTS:
        if math.hypot(x - p, y - line_y(p)) < max(2.0 * px, 0.06):
            colour = POINT
    # frame
    edge = min(u - margin, 1 - margin - u, v - margin, 1 - margin - v)
    if edge < max(0.8 * px, 0.02):
        colour = FRAME
    return colour


def render(size):
    pixels = []  # rows from the top, each pixel (b, g, r, a)
    for row in range(size):
        line = []
        for col in range(size):
            r = g = b = a = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    u = (col + (sx + 0.5) / SAMPLES) / size
                    v = 1 - (row + (sy + 0.5) / SAMPLES) / size
                    c = shade(u, v, size)
                    if c:
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            n = SAMPLES * SAMPLES
            if a:
                line.append((b // a, g // a, r // a, 255 * a // n))
            else:
                line.append((0, 0, 0, 0))
        pixels.append(line)
    return pixels


def image_entry(size):
    pixels = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes(p) for line in reversed(pixels) for p in line)
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for line in reversed(pixels):
        bits = bytearray(mask_row)
        for col, p in enumerate(line):
            if p[3] == 0:
                bits[col // 8] |= 0x80 >> (col % 8)
        mask += bits
    return header + colour + bytes(mask)


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else "resources/tessaro.ico"
    images = [image_entry(s) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(target, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
