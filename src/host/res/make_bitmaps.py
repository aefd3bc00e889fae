#!/usr/bin/env python3
"""Writes the module's bitmaps (24-bit, uncompressed BMP) next to this script.

  gadget_icon.bmp   32 x 32  the gadget's icon: a news page with a blue
                             headline band, grey text lines and a typed cursor
  toolbox.bmp       16 x 16  the same page, small, for control toolboxes
  bar_gradient.bmp   4 x 16  the background strip of the title and link bars

The .bmp files are committed; run this again only to change them.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Grey level of each row of the bar strip, top row first.
BAR_GREYS = [0xA6, 0xAC, 0xB4, 0xBC, 0xC3, 0xCB, 0xD2, 0xDA,
             0xE1, 0xE7, 0xEC, 0xF0, 0xF4, 0xF7, 0xF9, 0xFB]


def write_bmp(name, rows):
    """rows: list of rows, top row first, each a list of (r, g, b)."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # BMP stores the bottom row first
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(header + info + pixels)


def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]


def fill(rows, x0, y0, x1, y1, colour):
    """Fills the rectangle x0 <= x < x1, y0 <= y < y1."""
    for y in range(y0, y1):
        for x in range(x0, x1):
            rows[y][x] = colour


WHITE = (0xFF, 0xFF, 0xFF)
PAPER = (0xFD, 0xFD, 0xFB)
EDGE = (0x6E, 0x78, 0x86)
SHADOW = (0xB8, 0xBE, 0xC8)
BAND = (0x1E, 0x5A, 0xC8)
BAND_LIGHT = (0x5C, 0x8C, 0xE6)
HEADLINE = (0xF2, 0xF6, 0xFF)
TEXT = (0x8C, 0x8C, 0x8C)
CURSOR = (0x01, 0x18, 0x74)


def gadget_icon():
    rows = canvas(32, 32, WHITE)
    fill(rows, 5, 4, 29, 31, SHADOW)          # drop shadow, right and below
    fill(rows, 3, 2, 27, 29, EDGE)            # page outline
    fill(rows, 4, 3, 26, 28, PAPER)
    fill(rows, 4, 3, 26, 9, BAND)             # headline band
    fill(rows, 4, 3, 26, 4, BAND_LIGHT)
    fill(rows, 6, 5, 20, 7, HEADLINE)         # the headline on it
    for y, right in ((11, 24), (14, 23), (17, 24), (20, 21)):
        fill(rows, 6, y, right, y + 2, TEXT)  # typed lines
    fill(rows, 6, 23, 14, 25, TEXT)           # the line being typed ...
    fill(rows, 15, 24, 19, 26, CURSOR)        # ... and the cursor behind it
    return rows


def toolbox():
    rows = canvas(16, 16, WHITE)
    fill(rows, 2, 1, 14, 15, EDGE)
    fill(rows, 3, 2, 13, 14, PAPER)
    fill(rows, 3, 2, 13, 5, BAND)
    fill(rows, 4, 3, 10, 4, HEADLINE)
    for y, right in ((6, 12), (8, 11), (10, 12)):
        fill(rows, 4, y, right, y + 1, TEXT)
    fill(rows, 4, 12, 7, 13, TEXT)
    fill(rows, 8, 12, 10, 13, CURSOR)
    return rows


def bar_gradient():
    return [[(g, g, g)] * 4 for g in BAR_GREYS]


if __name__ == '__main__':
    write_bmp('gadget_icon.bmp', gadget_icon())
    write_bmp('toolbox.bmp', toolbox())
    write_bmp('bar_gradient.bmp', bar_gradient())
