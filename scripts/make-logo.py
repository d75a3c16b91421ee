#!/usr/bin/env python3
"""Draws the Brindlex word mark and writes resources/brindlexLogo.svg (black, for the editor, which recolours it)
and resources/brindlexLogo.png (165 x 32, light text on transparent, for the about panel).

The letters are plain geometric outlines on a 134-unit cap height; each letter is one outline plus its
counters, filled with the even-odd rule. Run from anywhere: python3 scripts/make-logo.py
"""

import os
import struct
import zlib

CAP = 134.12806
WIDTH = 722.30582

# Each letter: (advance width, [outline, counter, ...]); points in letter units, y down.
LETTERS = {
    "B": (78, [[(0, 0), (60, 0), (74, 14), (74, 52), (66, 67), (78, 80), (78, 120), (64, 134), (0, 134)],
               [(24, 24), (50, 24), (50, 55), (24, 55)],
               [(24, 79), (54, 79), (54, 110), (24, 110)]]),
    "R": (78, [[(0, 0), (60, 0), (74, 14), (74, 66), (62, 78), (78, 134), (53, 134), (38, 80), (24, 80),
                (24, 134), (0, 134)],
               [(24, 24), (50, 24), (50, 56), (24, 56)]]),
    "I": (24, [[(0, 0), (24, 0), (24, 134), (0, 134)]]),
    "N": (78, [[(0, 0), (24, 0), (54, 84), (54, 0), (78, 0), (78, 134), (54, 134), (24, 50), (24, 134),
                (0, 134)]]),
    "D": (78, [[(0, 0), (56, 0), (78, 22), (78, 112), (56, 134), (0, 134)],
               [(24, 24), (46, 24), (54, 32), (54, 102), (46, 110), (24, 110)]]),
    "L": (74, [[(0, 0), (24, 0), (24, 110), (74, 110), (74, 134), (0, 134)]]),
    "E": (76, [[(0, 0), (76, 0), (76, 24), (24, 24), (24, 55), (66, 55), (66, 79), (24, 79), (24, 110),
                (76, 110), (76, 134), (0, 134)]]),
    "X": (78, [[(0, 0), (27, 0), (39, 46), (51, 0), (78, 0), (55, 67), (78, 134), (51, 134), (39, 88),
                (27, 134), (0, 134), (23, 67)]]),
}

WORD = "BRINDLEX"


def layout():
    """Returns one list of polygons per letter, placed so that the word spans the full view box."""
    total = sum(LETTERS[c][0] for c in WORD)
    gap = (WIDTH - total) / (len(WORD) - 1)
    yScale = CAP / 134.0
    x = 0.0
    letters = []
    for c in WORD:
        advance, polys = LETTERS[c]
        letters.append([[(x + px, py * yScale) for px, py in poly] for poly in polys])
        x += advance + gap
    return letters


def write_svg(path, letters):
    def fmt(v):
        return ("%.3f" % v).rstrip("0").rstrip(".")

    paths = []
    for polys in letters:
        d = " ".join("M" + " L".join(fmt(px) + "," + fmt(py) for px, py in poly) + " Z" for poly in polys)
        paths.append('  <path fill="#000000" fill-rule="evenodd" d="%s"/>' % d)
    svg = ('<?xml version="1.0" encoding="UTF-8"?>\n'
           '<svg xmlns="http://www.w3.org/2000/svg" version="1.1" width="%s" height="%s" viewBox="0 0 %s %s">\n'
           '%s\n</svg>\n') % (fmt(WIDTH), fmt(CAP), fmt(WIDTH), fmt(CAP), "\n".join(paths))
    with open(path, "w") as f:
        f.write(svg)


def inside(polys, x, y):
    """Even-odd test against every outline and counter of one letter."""
    hit = False
    for poly in polys:
        n = len(poly)
        for i in range(n):
            x1, y1 = poly[i]
            x2, y2 = poly[(i + 1) % n]
            if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                hit = not hit
    return hit


def write_png(path, letters, w=165, h=32, colour=(0xE8, 0xE0, 0xCB), samples=6):
    scale = min((w - 4) / WIDTH, (h - 4) / CAP)
    ox = (w - WIDTH * scale) / 2
    oy = (h - CAP * scale) / 2
    placed = []
    for polys in letters:
        pts = [p for poly in polys for p in poly]
        x0 = min(p[0] for p in pts) * scale + ox
        x1 = max(p[0] for p in pts) * scale + ox
        placed.append((x0, x1, [[(px * scale + ox, py * scale + oy) for px, py in poly] for poly in polys]))

    rows = []
    for py in range(h):
        row = bytearray([0])
        for px in range(w):
            covered = 0
            for x0, x1, polys in placed:
                if px + 1 < x0 or px > x1:
                    continue
                for sy in range(samples):
                    for sx in range(samples):
                        if inside(polys, px + (sx + 0.5) / samples, py + (sy + 0.5) / samples):
                            covered += 1
            alpha = min(255, round(255 * covered / (samples * samples)))
            row += bytes([colour[0], colour[1], colour[2], alpha])
        rows.append(bytes(row))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(b"".join(rows), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


if __name__ == "__main__":
    resources = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    letters = layout()
    write_svg(os.path.join(resources, "brindlexLogo.svg"), letters)
    write_png(os.path.join(resources, "brindlexLogo.png"), letters)
