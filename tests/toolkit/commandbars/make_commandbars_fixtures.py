#!/usr/bin/env python3
"""Writes the command-bar tests' toolbar bitmap: four 32 x 32 images on magenta (a filled square, a
cross, a frame and a disc), 24 bits per pixel."""
import struct
import sys
from pathlib import Path

W, H, N = 32, 32, 4
MAGENTA = (255, 0, 255)
COLOURS = [(200, 40, 40), (40, 150, 60), (40, 70, 210), (210, 150, 30)]


def pixel(x, y):
    i, u = divmod(x, W)
    c = COLOURS[i]
    if i == 0 and 6 <= u < 26 and 6 <= y < 26:
        return c
    if i == 1 and (14 <= u < 18 or 14 <= y < 18) and 4 <= u < 28 and 4 <= y < 28:
        return c
    if i == 2 and 4 <= u < 28 and 4 <= y < 28 and not (8 <= u < 24 and 8 <= y < 24):
        return c
    if i == 3 and (u - 15.5) ** 2 + (y - 15.5) ** 2 <= 121:
        return c
    return MAGENTA


def bmp(width, height):
    stride = ((width * 24 + 31) // 32) * 4
    rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            p = pixel(x, y)
            row += bytes((p[2], p[1], p[0]))
        row += b"\0" * (stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + data


out = Path(sys.argv[1])
out.mkdir(parents=True, exist_ok=True)
(out / "toolbar32x32.bmp").write_bytes(bmp(W * N, H))
