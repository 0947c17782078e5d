#!/usr/bin/env python3
"""Writes the adjust tools' cursors, resources/cursors/*.cur, that resources/kelvane.rc embeds.

    scripts/make_cursors.py

Both are 32 by 32 monochrome cursors with the hot spot at (14, 14): a crosshair with a gap around
the hot spot, black with a white outline so that it shows on any artwork. The second one, shown
while the pointer is over an anchor point, adds a small filled square below and to the right of the
centre. The .cur files are checked in; run this after changing a drawing.
"""

import os
import struct
import sys

SIZE = 32
HOT_X, HOT_Y = 14, 14

BLACK, WHITE, CLEAR = "#", "o", "."


def crosshair():
    """The black pixels of the crosshair, as a set of (x, y) with y growing downwards."""
    black = {(HOT_X, HOT_Y)}
    for d in range(3, 12):  # arms from 3 to 11 pixels away from the hot spot
        black |= {(HOT_X - d, HOT_Y), (HOT_X + d, HOT_Y), (HOT_X, HOT_Y - d), (HOT_X, HOT_Y + d)}
    return black


def anchor_mark():
    """A 5 by 5 filled square below and to the right of the hot spot."""
    return {(x, y) for x in range(HOT_X + 4, HOT_X + 9) for y in range(HOT_Y + 4, HOT_Y + 9)}


def image(black):
    """Rows of BLACK / WHITE / CLEAR: every black pixel gets a white outline (8 neighbours)."""
    rows = [[CLEAR] * SIZE for _ in range(SIZE)]
    for (x, y) in black:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                if 0 <= x + dx < SIZE and 0 <= y + dy < SIZE:
                    rows[y + dy][x + dx] = WHITE
    for (x, y) in black:
        rows[y][x] = BLACK
    return ["".join(row) for row in rows]


def cur_bytes(rows):
    """A .cur file of one 1-bit image.

    Per pixel: black = AND 0, XOR 0; white = AND 0, XOR 1 (colour 1 of the table); clear = AND 1,
    XOR 0. The bitmap's height is twice the image's (XOR mask, then AND mask), rows bottom-up, each
    row 4 bytes, most significant bit first.
    """
    def mask(bit_of):
        data = bytearray()
        for row in reversed(rows):
            value = 0
            for x, pixel in enumerate(row):
                if bit_of(pixel):
                    value |= 1 << (31 - x)
            data += struct.pack(">I", value)
        return bytes(data)

    xor_mask = mask(lambda p: p == WHITE)
    and_mask = mask(lambda p: p == CLEAR)
    colours = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0,
                         len(xor_mask) + len(and_mask), 0, 0, 0, 0)
    image_data = header + colours + xor_mask + and_mask
    icon_dir = struct.pack("<HHH", 0, 2, 1)  # reserved, type 2 = cursor, one image
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOT_X, HOT_Y, len(image_data), 6 + 16)
    return icon_dir + entry + image_data


CURSORS = {
    "adjust.cur": crosshair(),                        # 16104: free point
    "adjust_on_anchor.cur": crosshair() | anchor_mark(),  # 16105: snapped to an anchor
}


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    out = os.path.join(root, "resources", "cursors")
    os.makedirs(out, exist_ok=True)
    for name, black in CURSORS.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(cur_bytes(image(black)))
        if "--show" in sys.argv:
            print(name)
            print("\n".join(image(black)))
    print("make_cursors.py: wrote %d cursors to %s" % (len(CURSORS), os.path.normpath(out)))


if __name__ == "__main__":
    main()
