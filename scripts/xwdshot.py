#!/usr/bin/env python3
"""Pastes X window dumps (xwd, 24 or 32 bits a pixel, TrueColor) onto a root dump and
writes the result as PNG, with the standard library alone.

    xwdshot.py OUT.png ROOT.xwd [WINDOW.xwd X Y]...
"""
import struct
import sys
import zlib


def read_xwd(path):
    data = open(path, 'rb').read()
    h = struct.unpack('>25I', data[:100])
    header_size, width, height = h[0], h[4], h[5]
    byte_order, bpp, bpl, ncolors = h[7], h[11], h[12], h[19]
    masks = h[14:17]  # red, green, blue (h[13] is the visual class)
    if bpp not in (24, 32):
        raise SystemExit('%s: %d bits per pixel, only 24 and 32 are read' % (path, bpp))
    step = bpp // 8
    pixels = data[header_size + 12 * ncolors:]
    # Byte positions of red, green and blue in one pixel.
    def place(mask):
        shift = (mask & -mask).bit_length() - 1
        return shift // 8 if byte_order == 0 else step - 1 - shift // 8
    r, g, b = (place(m) for m in masks)
    rows = []
    for y in range(height):
        row = pixels[y * bpl:y * bpl + step * width]
        rgb = bytearray(3 * width)
        rgb[0::3], rgb[1::3], rgb[2::3] = row[r::step], row[g::step], row[b::step]
        rows.append(rgb)
    return width, height, rows


def main():
    out, root = sys.argv[1], sys.argv[2]
    width, height, rows = read_xwd(root)
    rest = sys.argv[3:]
    for k in range(0, len(rest) - 2, 3):
        w, h, wrows = read_xwd(rest[k])
        x, y = int(rest[k + 1]), int(rest[k + 2])
        for j in range(h):
            if not 0 <= y + j < height:
                continue
            a, b = max(0, x), min(width, x + w)
            if a < b:
                rows[y + j][3 * a:3 * b] = wrows[j][3 * (a - x):3 * (b - x)]
    raw = b''.join(b'\0' + bytes(r) for r in rows)
    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body +
                struct.pack('>I', zlib.crc32(kind + body) & 0xffffffff))
    png = (b'\x89PNG\r\n\x1a\n' +
           chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)) +
           chunk(b'IDAT', zlib.compress(raw, 6)) + chunk(b'IEND', b''))
    open(out, 'wb').write(png)


main()
