#!/usr/bin/env python3
"""Writes the image editor's import fixtures into the folder given: a 16 x 16 24-bit BMP, a 16 x 16
icon (32-bit colour with an AND mask, its top-left 4 x 4 corner transparent), a 48 x 48 GIF whose
3 x 3 blocks shrink to the same 16 x 16 pattern, and a 16 x 16 placeable Windows metafile. Python's standard library only; every byte is written
here, so the expected pixels come from the formula below and not from the code under test.

The metafile is all red (0x0000FF as a COLORREF).

The pattern: pixel (x, y) of the 16 x 16 picture has colour COLOURS[(x // 4 + y // 4) % 4].
"""

import os
import struct
import sys

COLOURS = [(0x20, 0x40, 0x80), (0xE0, 0x60, 0x10), (0x30, 0xA0, 0x50), (0xF0, 0xF0, 0x20)]


def pattern(x, y, scale=1):
    return COLOURS[((x // scale) // 4 + (y // scale) // 4) % 4]


def bmp_16():
    rows = b""
    for y in reversed(range(16)):
        rows += b"".join(bytes((b, g, r)) for (r, g, b) in (pattern(x, y) for x in range(16)))
    header = struct.pack("<IiiHHIIiiII", 40, 16, 16, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 14 + len(header)) + header + rows


def ico_16():
    colour = b""
    mask = b""
    for y in reversed(range(16)):
        bits = 0
        for x in range(16):
            transparent = x < 4 and y < 4
            r, g, b = pattern(x, y)
            colour += bytes((b, g, r, 0 if transparent else 255))
            if transparent:
                bits |= 0x8000 >> x
        mask += struct.pack(">HH", bits, 0)  # rows padded to 32 bits
    header = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, 32, len(image), 22)
    return directory + image


def lzw(indices, min_code_size):
    """GIF's LZW with a clear code before the dictionary grows past 12 bits."""
    clear = 1 << min_code_size
    end = clear + 1
    out_bits = []

    def emit(code, size):
        for i in range(size):
            out_bits.append((code >> i) & 1)

    size = min_code_size + 1
    table = {(i,): i for i in range(clear)}
    next_code = end + 1
    emit(clear, size)
    current = (indices[0],)
    for index in indices[1:]:
        candidate = current + (index,)
        if candidate in table:
            current = candidate
            continue
        emit(table[current], size)
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table = {(i,): i for i in range(clear)}
            next_code = end + 1
            size = min_code_size + 1
        current = (index,)
    emit(table[current], size)
    emit(end, size)
    data = bytearray()
    for i in range(0, len(out_bits), 8):
        byte = 0
        for j, bit in enumerate(out_bits[i:i + 8]):
            byte |= bit << j
        data.append(byte)
    return bytes(data)


def gif_48():
    indices = [COLOURS.index(pattern(x, y, 3)) for y in range(48) for x in range(48)]
    palette = b"".join(bytes(c) for c in COLOURS)
    data = lzw(indices, 2)
    blocks = b"".join(bytes((len(data[i:i + 255]),)) + data[i:i + 255] for i in range(0, len(data), 255))
    return (b"GIF89a" + struct.pack("<HHBBB", 48, 48, 0xF1, 0, 0) + palette +
            b"," + struct.pack("<HHHHB", 0, 0, 48, 48, 0) + bytes((2,)) + blocks + b"\x00;")


def wmf_16():
    """A placeable metafile of 16 x 16 units at 96 an inch: one red rectangle over all of it (drawn
    without a pen, a rectangle fills up to one short of its right and bottom, hence 17)."""
    def record(function, *words):
        return struct.pack("<IH", 3 + len(words), function) + struct.pack("<%dH" % len(words), *words)
    records = (record(0x020B, 0, 0) + record(0x020C, 16, 16) +            # window origin and extent
               record(0x02FA, 5, 0, 0, 0, 0) + record(0x012D, 0) +       # a null pen, selected
               record(0x02FC, 0, 0x00FF, 0x0000, 0) + record(0x012D, 1) +  # a solid red brush
               record(0x041B, 17, 17, 0, 0) + record(0x0000))            # the rectangle; the end
    largest = max(3 + 5, 3 + 4)
    header = struct.pack("<HHHIHIH", 1, 9, 0x0300, 9 + len(records) // 2, 2, largest, 0)
    placeable = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, 16, 16, 96, 0)
    checksum = 0
    for (word,) in struct.iter_unpack("<H", placeable):
        checksum ^= word
    return placeable + struct.pack("<H", checksum) + header + records


def main(arguments):
    folder = arguments[1]
    os.makedirs(folder, exist_ok=True)
    for name, data in (("import16.bmp", bmp_16()), ("import16.ico", ico_16()), ("import48.gif", gif_48()),
                       ("import16.wmf", wmf_16())):
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
