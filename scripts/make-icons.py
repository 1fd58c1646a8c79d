#!/usr/bin/env python3
"""Draws Brimvale's icons (window icon, ok and cancel pictures) as .ico files.

The artwork is generated rather than drawn by hand so that it can be changed
and reviewed as code. Run from the project root; writes src/app/res/*.ico.
"""
import struct

def ico(images):
    """images: list of (size, pixels) with pixels[y][x] = (r, g, b, a)."""
    header = struct.pack('<HHH', 0, 1, len(images))
    entries, blobs = b'', b''
    offset = 6 + 16 * len(images)
    for size, px in images:
        rows = b''
        for y in reversed(range(size)):  # bottom-up
            rows += b''.join(struct.pack('BBBB', b, g, r, a) for (r, g, b, a) in px[y])
        mask_row = ((size + 31) // 32) * 4
        mask = b''
        for y in reversed(range(size)):
            bits = 0
            row = bytearray(mask_row)
            for x in range(size):
                if px[y][x][3] == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += bytes(row)
        bih = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
        blob = bih + rows + mask
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs += blob
    return header + entries + blobs

def canvas(size):
    return [[(0, 0, 0, 0) for _ in range(size)] for _ in range(size)]

def rect(px, x0, y0, x1, y1, c):
    for y in range(y0, y1):
        for x in range(x0, x1):
            px[y][x] = c

def app_icon(size):
    """A memory module: navy board, gold pins, lime 'free' bars rising."""
    px = canvas(size)
    s = size / 32.0
    S = lambda v: int(round(v * s))
    navy, gold, lime, dark = (20, 30, 110, 255), (230, 180, 40, 255), (60, 230, 60, 255), (10, 15, 60, 255)
    rect(px, S(2), S(6), S(30), S(24), dark)
    rect(px, S(3), S(7), S(29), S(23), navy)
    for i in range(6):
        x = S(4 + i * 4)
        rect(px, x, S(25), x + max(1, S(2)), S(29), gold)
    heights = [4, 7, 10, 13, 15, 12]
    for i, h in enumerate(heights):
        x = S(5 + i * 4)
        rect(px, x, S(21 - h), x + max(1, S(3)), S(21), lime)
    return px

def ok_icon():
    px = canvas(16)
    green = (20, 160, 40, 255)
    pts = [(3, 8), (4, 9), (5, 10), (6, 11), (7, 10), (8, 9), (9, 8), (10, 7), (11, 6), (12, 5), (13, 4)]
    for x, y in pts:
        rect(px, x, y - 1, x + 1, y + 2, green)
    return px

def cancel_icon():
    px = canvas(16)
    red = (210, 30, 30, 255)
    for i in range(3, 13):
        rect(px, i, i - 1, i + 1, i + 1, red)
        rect(px, 15 - i, i - 1, 16 - i, i + 1, red)
    return px

if __name__ == '__main__':
    open('src/app/res/brimvale.ico', 'wb').write(ico([(16, app_icon(16)), (32, app_icon(32))]))
    open('src/app/res/ok.ico', 'wb').write(ico([(16, ok_icon())]))
    open('src/app/res/cancel.ico', 'wb').write(ico([(16, cancel_icon())]))
