#!/usr/bin/env python3
"""Draws the console's icon 10 (32x32 and 16x16) and the Start-log toolbar
image of bitmap 13 (16x15), all with the 16-colour standard palette, and
writes murlo.ico and start_log.bmp beside this script."""
import os
import struct

# The standard 16-colour palette, as (blue, green, red, 0) entries.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREEN, SILVER, GREY, RED, GREEN, BLUE, WHITE = 0, 2, 7, 8, 9, 10, 12, 15
NAVY = 4
TRANSPARENT = -1


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)


def console_picture(size):
    """A small console window: grey frame, navy title bar, black screen with green trace lines."""
    s = size
    px = [[TRANSPARENT] * s for _ in range(s)]
    top, left, right, bottom = s // 8, 0, s - 1, s - 1 - s // 16
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            px[y][x] = GREY
    bar = max(2, s // 8)
    for y in range(top + 1, top + 1 + bar):
        for x in range(left + 1, right):
            px[y][x] = NAVY
    for y in range(top + 1 + bar, bottom):
        for x in range(left + 1, right):
            px[y][x] = BLACK
    # Trace lines of different lengths, indented like nested output.
    step = max(2, s // 8)
    indent = 0
    y = top + bar + step
    lengths = [0.7, 0.5, 0.6, 0.35, 0.55]
    i = 0
    while y < bottom - 1:
        start = left + 2 + indent
        end = min(right - 2, start + int((s - 6) * lengths[i % len(lengths)]))
        for x in range(start, end):
            px[y][x] = GREEN
        if s >= 32:
            for x in range(start, end):
                if y + 1 < bottom:
                    px[y + 1][x] = DARK_GREEN
        indent = (indent + s // 8) % (s // 3)
        y += step
        i += 1
    # A white caret after the last line.
    cy = min(bottom - 2, y - step)
    px[cy][right - 3] = WHITE
    return px


def start_log_picture():
    """16x15: a sheet of paper with lines and a red record dot; silver is the button face."""
    w, h = 16, 15
    px = [[SILVER] * w for _ in range(h)]
    for y in range(1, 14):
        for x in range(2, 11):
            px[y][x] = WHITE
    for y in range(1, 14):
        px[y][2] = GREY
        px[y][10] = GREY
    for x in range(2, 11):
        px[1][x] = GREY
        px[13][x] = GREY
    for y in (4, 6, 8, 10):
        for x in range(4, 9):
            px[y][x] = BLACK
    # The red dot, bottom right, over the sheet's corner.
    cx, cy, r2 = 11, 10, 10
    for y in range(h):
        for x in range(w):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if d <= r2:
                px[y][x] = RED
            elif d <= r2 + 6 and px[y][x] == SILVER:
                px[y][x] = GREY
    return px


def dib_4bpp(px, height_field, with_mask):
    """BITMAPINFOHEADER, palette and bottom-up 4-bit rows (and the 1-bit AND mask for icons)."""
    h = len(px)
    w = len(px[0])
    row = ((w * 4 + 31) // 32) * 4
    xor = bytearray()
    for y in reversed(range(h)):
        line = bytearray(row)
        for x in range(w):
            c = px[y][x]
            c = 0 if c == TRANSPARENT else c
            if x % 2 == 0:
                line[x // 2] |= c << 4
            else:
                line[x // 2] |= c
        xor += line
    mask = bytearray()
    if with_mask:
        mrow = ((w + 31) // 32) * 4
        for y in reversed(range(h)):
            line = bytearray(mrow)
            for x in range(w):
                if px[y][x] == TRANSPARENT:
                    line[x // 8] |= 0x80 >> (x % 8)
            mask += line
    image_size = len(xor) + len(mask)
    header = struct.pack("<IiiHHIIiiII", 40, w, height_field, 1, 4, 0, image_size, 0, 0, 16, 0)
    return header + palette_bytes() + bytes(xor) + bytes(mask)


def write_icon(path, pictures):
    images = [dib_4bpp(p, len(p) * 2, True) for p in pictures]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for p, img in zip(pictures, images):
        size = len(p)
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(img), offset)
        offset += len(img)
    for img in images:
        out += img
    with open(path, "wb") as f:
        f.write(out)


def write_bitmap(path, px):
    dib = dib_4bpp(px, len(px), False)
    pixel_offset = 14 + 40 + 64
    header = struct.pack("<2sIHHI", b"BM", 14 + len(dib), 0, 0, pixel_offset)
    with open(path, "wb") as f:
        f.write(header + dib)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_icon(os.path.join(here, "murlo.ico"), [console_picture(32), console_picture(16)])
    write_bitmap(os.path.join(here, "start_log.bmp"), start_log_picture())
