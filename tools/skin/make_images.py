#!/usr/bin/env python3
"""Draws the skin's images: window backgrounds and the parts of the mouse pictures.

Plain shapes in flat colours, written as RGBA PNG files with the standard library only.
Run from the repository root: python3 tools/skin/make_images.py [skin folder]
"""

import math
import os
import struct
import sys
import zlib

# Where the mouse picture's parts sit inside the picture area of the key page (x, y, w, h).
# The key page places one label per part at these rectangles; each part has a normal and
# a pressed ("down") image, and the second mouse model has its own set with "_2".
MOUSE_BODY = (20, 0, 200, 320)
MOUSE_PARTS = [  # in button order 0..5: left, wheel, right, forward, back, dpi
    ("left", (30, 10, 84, 120)),
    ("wheel", (108, 28, 24, 56)),
    ("right", (126, 10, 84, 120)),
    ("forward", (12, 150, 22, 44)),
    ("back", (12, 200, 22, 44)),
    ("dpi", (108, 94, 24, 30)),
]

ACCENT = (0x01, 0x99, 0xCB)


def png(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b, a)."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(pixel(x, y))

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(bytes(rows), 9)))
        f.write(chunk(b"IEND", b""))


def rounded(w, h, r):
    """Coverage (0..1) of a rounded rectangle filling w x h with corner radius r."""

    def inside(x, y):
        cx = min(max(x + 0.5, r), w - r)
        cy = min(max(y + 0.5, r), h - r)
        d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
        return max(0.0, min(1.0, r - d + 0.5))

    return inside


def background(path, top, bottom):
    w, h = 800, 572

    def pixel(x, y):
        t = y / (h - 1)
        c = [round(a + (b - a) * t) for a, b in zip(top, bottom)]
        if 38 <= y <= 39 or 74 <= y <= 75:  # rules under the caption bar and the tab strip
            c = [round(v * 0.5 + a * 0.5) for v, a in zip(c, ACCENT)]
        return (c[0], c[1], c[2], 255)

    png(path, w, h, pixel)


def shape(path, w, h, fill, outline, radius):
    cover = rounded(w, h, radius)
    inner = rounded(w - 4, h - 4, max(1, radius - 2))

    def pixel(x, y):
        a = cover(x, y)
        if a <= 0:
            return (0, 0, 0, 0)
        i = inner(x - 2, y - 2) if 2 <= x < w - 2 and 2 <= y < h - 2 else 0.0
        c = [round(o + (f - o) * i) for f, o in zip(fill, outline)]
        return (c[0], c[1], c[2], round(255 * a))

    png(path, w, h, pixel)


def main():
    skin = sys.argv[1] if len(sys.argv) > 1 else "skin"
    background(os.path.join(skin, "common", "background.png"), (0x1C, 0x21, 0x2B), (0x0B, 0x0D, 0x12))
    background(os.path.join(skin, "common", "background_2.png"), (0x10, 0x2A, 0x3C), (0x06, 0x0E, 0x16))
    background(os.path.join(skin, "common", "background_3.png"), (0x33, 0x16, 0x1A), (0x10, 0x08, 0x0A))
    for suffix, body, normal in (("", (0x2A, 0x2F, 0x3A), (0x46, 0x4D, 0x5C)), ("_2", (0x30, 0x2A, 0x36), (0x55, 0x4A, 0x5E))):
        _, _, bw, bh = MOUSE_BODY
        shape(os.path.join(skin, "ms", "key_body%s.png" % suffix), bw, bh, body, (0x60, 0x68, 0x78), 90)
        for part, (_, _, w, h) in MOUSE_PARTS:
            radius = min(w, h) // 2 if part in ("wheel", "dpi", "forward", "back") else 24
            for state, fill in (("normal", normal), ("down", ACCENT)):
                name = "key_%s_%s%s.png" % (part, state, suffix)
                shape(os.path.join(skin, "ms", name), w, h, fill, (0x8A, 0x93, 0xA6), radius)


if __name__ == "__main__":
    main()
