#!/usr/bin/env python3
"""Renders HTML fixtures with headless Chromium and writes, per fixture, the bounding box of every solid
colour that is not white or grey, as the outside oracle of the engine's table layout.

usage: html_chromium_oracle.py OUT_BOXES SCREENSHOT_DIR WIDTH HEIGHT FIXTURE...
Each line of OUT_BOXES: fixture-name RRGGBB left top right bottom (inclusive pixels). The screenshot of a
fixture named mixed is also copied to SCREENSHOT_DIR as html_mixed_chromium.png."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib


def read_png(path):
    with open(path, 'rb') as f:
        data = f.read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n', path
    pos = 8
    idat = b''
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
            assert depth == 8 and colour in (2, 6) and interlace == 0, (depth, colour, interlace)
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows = []
    previous = bytearray(stride)
    at = 0
    for _ in range(height):
        kind = raw[at]
        line = bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                predictor = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
                line[i] = (line[i] + predictor) & 255
        rows.append(line)
        previous = line
    return width, height, channels, rows


def boxes(path):
    width, height, channels, rows = read_png(path)
    found = {}
    for y, line in enumerate(rows):
        for x in range(width):
            r, g, b = line[x * channels:x * channels + 3]
            if r == g == b:
                continue
            key = '%02x%02x%02x' % (r, g, b)
            box = found.get(key)
            if box is None:
                found[key] = [x, y, x, y, 1]
            else:
                box[0] = min(box[0], x)
                box[1] = min(box[1], y)
                box[2] = max(box[2], x)
                box[3] = max(box[3], y)
                box[4] += 1
    # Anti-aliased edges leave a few pixels of mixed colours; solid areas have many.
    return {key: box[:4] for key, box in found.items() if box[4] >= 16}


def main():
    out, screenshots, width, height = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4]
    chromium = shutil.which('chromium') or shutil.which('chromium-browser')
    if not chromium:
        # The build goes on; the test that reads the boxes fails and says why.
        print('html_chromium_oracle: chromium is not installed (tools/setup installs it); delete %s after '
              'installing it' % out, file=sys.stderr)
        open(out, 'w').close()
        return
    lines = []
    with tempfile.TemporaryDirectory() as work:
        for fixture in sys.argv[5:]:
            name = os.path.splitext(os.path.basename(fixture))[0]
            shot = os.path.join(work, name + '.png')
            subprocess.run([chromium, '--headless', '--no-sandbox', '--disable-gpu', '--hide-scrollbars',
                            '--force-device-scale-factor=1', '--window-size=%s,%s' % (width, height),
                            '--user-data-dir=' + os.path.join(work, 'profile'), '--screenshot=' + shot,
                            'file://' + os.path.abspath(fixture)],
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
            for key, box in sorted(boxes(shot).items()):
                lines.append('%s %s %d %d %d %d' % (name, key, *box))
            if name == 'mixed':
                os.makedirs(screenshots, exist_ok=True)
                shutil.copy(shot, os.path.join(screenshots, 'html_mixed_chromium.png'))
    with open(out, 'w') as f:
        f.write('\n'.join(lines) + '\n')


main()
