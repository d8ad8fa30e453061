#!/usr/bin/env python3
# Writes photo.jpg, image.png and paper.pdf into the folder named first: files that begin as their formats
# say, with enough body to take several clusters each, for File Trace's disks.
import os, sys, zlib, struct
work = sys.argv[1]
body = bytes((i * 7 + 3) & 0xFF for i in range(9000))
jpeg = b"\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00" + body + b"\xFF\xD9"
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
png = (b"\x89PNG\r\n\x1A\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 0, 0, 0, 0))
       + chunk(b"IDAT", zlib.compress(b"\x00\x00")) + chunk(b"tEXt", b"note\x00" + body) + chunk(b"IEND", b""))
pdf = b"%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj << /Type /Catalog >> endobj\n" + body + b"\n%%EOF\n"
for name, data in (("photo.jpg", jpeg), ("image.png", png), ("paper.pdf", pdf)):
    with open(os.path.join(work, name), "wb") as stream:
        stream.write(data)
