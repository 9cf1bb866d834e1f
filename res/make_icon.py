#!/usr/bin/env python3
"""Draws Orvanta's icon, a small robot arm, and writes res/Orvanta.ico.

Two images, 32x32 and 16x16, 32 bits per pixel with alpha. Run it again after
changing the drawing; the .ico it writes is kept in the repository so the build
needs no Python.
"""
import math
import os
import struct

STEEL = (70, 90, 120, 255)
ORANGE = (235, 140, 30, 255)
DARK = (40, 40, 48, 255)


def draw(size):
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    s = size / 32.0

    def disc(cx, cy, r, col):
        for y in range(size):
            for x in range(size):
                if (x + 0.5 - cx * s) ** 2 + (y + 0.5 - cy * s) ** 2 <= (r * s) ** 2:
                    px[y][x] = col

    def bar(x0, y0, x1, y1, w, col):
        # Thick segment: every pixel within w/2 of the line from (x0,y0) to (x1,y1).
        ax, ay, bx, by = x0 * s, y0 * s, x1 * s, y1 * s
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy or 1.0
        for y in range(size):
            for x in range(size):
                t = ((x + 0.5 - ax) * dx + (y + 0.5 - ay) * dy) / length2
                t = max(0.0, min(1.0, t))
                qx, qy = ax + t * dx, ay + t * dy
                if math.hypot(x + 0.5 - qx, y + 0.5 - qy) <= w * s / 2:
                    px[y][x] = col

    bar(4, 29, 16, 29, 4, DARK)          # base plate
    bar(10, 28, 10, 22, 5, STEEL)        # column
    bar(10, 22, 17, 9, 4, ORANGE)        # upper arm
    bar(17, 9, 26, 15, 3.5, ORANGE)      # forearm
    bar(26, 15, 26, 21, 2.5, STEEL)      # wrist, pointing down
    bar(24, 21, 24, 25, 1.6, DARK)       # gripper fingers
    bar(28, 21, 28, 25, 1.6, DARK)
    bar(24, 21, 28, 21, 1.6, DARK)
    for cx, cy in ((10, 22), (17, 9), (26, 15)):
        disc(cx, cy, 2.2, DARK)           # joints
    return px


def bmp_entry(size):
    px = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b"".join(
        b"".join(struct.pack("BBBB", b, g, r, a) for (r, g, b, a) in px[y]) for y in reversed(range(size))
    )
    mask_row = ((size + 31) // 32) * 4
    mask = b""
    for y in reversed(range(size)):
        row = bytearray(mask_row)
        for x in range(size):
            if px[y][x][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(row)
    return header + rows + mask


def main():
    images = [(32, bmp_entry(32)), (16, bmp_entry(16))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "Orvanta.ico")
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
