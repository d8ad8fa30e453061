#!/usr/bin/python3
# Writes into the folder named first the pictures that File Trace must find by their first bytes: JPEGs
# encoded by Pillow whose segments before the scan are reordered so that each segment a real file may
# begin with comes first (APP0 JFIF, APP1 Exif, APP2 ICC, APP13 Photoshop, APP14 Adobe, a comment, the
# quantisation and Huffman tables, the restart interval, a baseline and a progressive frame header), a
# BMP, and icons as Pillow writes them (no colour planes given) and as Windows' own tools do (one plane).
# Each picture is decoded again by Pillow, so every one is a file a viewer opens. Run by the system's
# Python, where python3-pil is installed.
import io
import os
import struct
import sys

from PIL import Image

work = sys.argv[1]
os.makedirs(work, exist_ok=True)


def picture(mode="RGB"):
    image = Image.new(mode, (96, 64))
    image.putdata([((x * 5) & 0xFF, (y * 7) & 0xFF, ((x + y) * 3) & 0xFF) for y in range(64) for x in range(96)])
    return image


def jpeg_segments(data):
    """The segments between SOI and SOS as (marker, bytes with marker), and the rest from SOS on."""
    assert data[:2] == b"\xFF\xD8"
    at, segments = 2, []
    while True:
        marker = data[at + 1]
        if marker == 0xDA:
            return segments, data[at:]
        length = struct.unpack(">H", data[at + 2:at + 4])[0]
        segments.append((marker, data[at:at + 2 + length]))
        at += 2 + length


def segment(marker, body):
    return bytes([0xFF, marker]) + struct.pack(">H", len(body) + 2) + body


def encoded(**options):
    stream = io.BytesIO()
    picture().save(stream, "JPEG", quality=85, **options)
    return stream.getvalue()


def first(marker, segments):
    """The segments with every one of that marker moved to the front, in their order."""
    return [s for s in segments if s[0] == marker] + [s for s in segments if s[0] != marker]


baseline, baseline_scan = jpeg_segments(encoded())
progressive, progressive_scan = jpeg_segments(encoded(progressive=True))
without_jfif = [s for s in baseline if s[0] != 0xE0]
extra = {
    0xE1: segment(0xE1, b"Exif\0\0MM\0*\0\0\0\x08\0\0\0\0\0\0"),
    0xE2: segment(0xE2, b"ICC_PROFILE\0\x01\x01"),
    0xED: segment(0xED, b"Photoshop 3.0\0"),
    0xEE: segment(0xEE, b"Adobe\0\x64\0\0\0\0\x01"),
    0xFE: segment(0xFE, b"Created by a camera"),
    0xDD: segment(0xDD, b"\0\0"),
}
jpegs = {
    "first-e0": (baseline, baseline_scan),
    "first-db": (without_jfif, baseline_scan),
    "first-c4": (first(0xC4, without_jfif), baseline_scan),
    "first-c0": (first(0xC0, without_jfif), baseline_scan),
    "first-c2": (first(0xC2, [s for s in progressive if s[0] != 0xE0]), progressive_scan),
}
for marker, body in extra.items():
    jpegs["first-%02x" % marker] = ([(marker, body)] + without_jfif, baseline_scan)

for name, (segments, scan) in jpegs.items():
    data = b"\xFF\xD8" + b"".join(s[1] for s in segments) + scan
    assert data[3] == int(name[-2:], 16), name
    Image.open(io.BytesIO(data)).load()
    with open(os.path.join(work, name + ".jpg"), "wb") as stream:
        stream.write(data)

picture().save(os.path.join(work, "picture.bmp"))
picture().save(os.path.join(work, "pillow.ico"), sizes=[(48, 48), (32, 32)])
with open(os.path.join(work, "pillow.ico"), "rb") as stream:
    icon = bytearray(stream.read())
# The first entry's colour planes (offset 6 + 4) set to one, as Windows' own tools write them.
icon[10:12] = struct.pack("<H", 1)
Image.open(io.BytesIO(bytes(icon))).load()
with open(os.path.join(work, "windows.ico"), "wb") as stream:
    stream.write(icon)
