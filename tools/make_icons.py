#!/usr/bin/env python3
"""Writes tessivar's two 16x16 icons: a radiation trefoil on a yellow disc.

res/tessivar-256.ico  one image, 256-colour palette (1406 bytes)
res/tessivar-32bit.ico one image, 32-bit colour with alpha (1150 bytes)

The bytes of both files are part of the program's signing key, so the
committed files are never regenerated once the program has shipped; this
script documents how they were made.
"""
import math
import struct
import sys
from pathlib import Path

SIZE = 16
TRANSPARENT, DISC, MARK, RIM = range(4)
COLOURS = {DISC: (255, 204, 0), MARK: (20, 20, 20), RIM: (120, 90, 0)}


def pixel(x, y):
    dx, dy = x - 7.5, y - 7.5
    r = math.hypot(dx, dy)
    if r > 7.6:
        return TRANSPARENT
    if r > 6.8:
        return RIM
    if r < 1.6:
        return MARK
    angle = (math.degrees(math.atan2(-dy, dx)) + 360.0) % 360.0
    # Three blades 60 degrees wide, the first pointing up.
    in_blade = any(abs(((angle - centre + 180.0) % 360.0) - 180.0) < 30.0 for centre in (90.0, 210.0, 330.0))
    if in_blade and 2.6 < r < 6.3:
        return MARK
    return DISC


def image_rows():
    # Icon bitmaps are stored bottom-up.
    return [[pixel(x, y) for x in range(SIZE)] for y in reversed(range(SIZE))]


def and_mask(rows):
    out = bytearray()
    for row in rows:
        bits = 0
        for x, p in enumerate(row):
            if p == TRANSPARENT:
                bits |= 1 << (15 - x)
        out += struct.pack(">H", bits) + b"\0\0"  # rows padded to 32 bits
    return bytes(out)


def info_header(bit_count, image_size):
    return struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, bit_count, 0, image_size, 0, 0, 0, 0)


def icon_file(bit_count, body):
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, bit_count, len(body), 6 + 16)
    return header + entry + body


def palette_icon(rows):
    palette = bytearray(256 * 4)
    for index, (r, g, b) in COLOURS.items():
        palette[index * 4:index * 4 + 4] = bytes((b, g, r, 0))
    pixels = bytes(p for row in rows for p in row)
    mask = and_mask(rows)
    body = info_header(8, len(pixels) + len(mask)) + bytes(palette) + pixels + mask
    return icon_file(8, body)


def truecolour_icon(rows):
    pixels = bytearray()
    for row in rows:
        for p in row:
            if p == TRANSPARENT:
                pixels += b"\0\0\0\0"
            else:
                r, g, b = COLOURS[p]
                pixels += bytes((b, g, r, 255))
    mask = and_mask(rows)
    body = info_header(32, len(pixels) + len(mask)) + bytes(pixels) + mask
    return icon_file(32, body)


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "res")
    rows = image_rows()
    first, second = palette_icon(rows), truecolour_icon(rows)
    assert len(first) == 1406 and len(second) == 1150, (len(first), len(second))
    (out / "tessivar-256.ico").write_bytes(first)
    (out / "tessivar-32bit.ico").write_bytes(second)


if __name__ == "__main__":
    main()
