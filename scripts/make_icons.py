#!/usr/bin/env python3
"""Draws VOLKARN's icons and writes them as .ico files (16, 32 and 48 pixels,
32-bit colour with alpha). Run it again after changing a drawing:

    python3 scripts/make_icons.py src/win32/resources/icons

Each drawing is a list of shapes in unit coordinates (0..1, y downwards),
painted in order and sampled 4 x 4 times per pixel."""

import struct
import sys
from pathlib import Path

SIZES = (16, 32, 48)
SAMPLES = 4


def rect(x0, y0, x1, y1, colour):
    return (lambda x, y: x0 <= x < x1 and y0 <= y < y1), colour


def polygon(points, colour):
    def inside(x, y):
        hit = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit

    return inside, colour


def ellipse(cx, cy, rx, ry, colour):
    return (lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0), colour


def rgb(hex_text, alpha=255):
    value = int(hex_text, 16)
    return (value >> 16) & 255, (value >> 8) & 255, value & 255, alpha


OUTLINE = rgb("303840")
PAPER = rgb("fbfbf7")
PAPER_FOLD = rgb("d0d4d8")
LINE = rgb("9aa4ae")
DISK = rgb("2a4d8f")
DISK_DARK = rgb("1b3366")
METAL = rgb("c9ced3")
SLOT = rgb("4a525a")
LABEL = rgb("f4f1e6")
ACCENT = rgb("e8782a")
FOLDER = rgb("e9b941")
FOLDER_DARK = rgb("c4952a")
FOLDER_LIGHT = rgb("f7d36e")


def floppy(x0, y0, x1, y1):
    """A 3.5-inch disk in the box (x0, y0)-(x1, y1), with the V of Volkarn."""
    w, h = x1 - x0, y1 - y0
    px = lambda f: x0 + f * w
    py = lambda f: y0 + f * h
    return [
        polygon([(px(0), py(0)), (px(0.88), py(0)), (px(1), py(0.12)), (px(1), py(1)), (px(0), py(1))], DISK_DARK),
        polygon([(px(0.04), py(0.04)), (px(0.86), py(0.04)), (px(0.96), py(0.14)), (px(0.96), py(0.96)),
                 (px(0.04), py(0.96))], DISK),
        rect(px(0.24), py(0.04), px(0.76), py(0.38), METAL),
        rect(px(0.56), py(0.09), px(0.68), py(0.33), SLOT),
        rect(px(0.14), py(0.5), px(0.86), py(0.96), LABEL),
        polygon([(px(0.3), py(0.56)), (px(0.41), py(0.56)), (px(0.5), py(0.8)), (px(0.59), py(0.56)),
                 (px(0.7), py(0.56)), (px(0.55), py(0.92)), (px(0.45), py(0.92))], ACCENT),
    ]


def page(lines):
    """A sheet of paper with a folded corner, optionally with text lines."""
    shapes = [
        polygon([(0.16, 0.04), (0.62, 0.04), (0.86, 0.28), (0.86, 0.96), (0.16, 0.96)], OUTLINE),
        polygon([(0.2, 0.08), (0.6, 0.08), (0.82, 0.3), (0.82, 0.92), (0.2, 0.92)], PAPER),
        polygon([(0.6, 0.08), (0.82, 0.3), (0.6, 0.3)], PAPER_FOLD),
    ]
    if lines:
        for i in range(5):
            top = 0.4 + i * 0.1
            shapes.append(rect(0.28, top, 0.74 if i % 2 == 0 else 0.64, top + 0.045, LINE))
    return shapes


DRAWINGS = {
    # 100: the program.
    "program": floppy(0.06, 0.06, 0.94, 0.94),
    # 101: a floppy drive with its slot and busy light.
    "drive": [
        rect(0.04, 0.28, 0.96, 0.76, OUTLINE),
        rect(0.08, 0.32, 0.92, 0.72, METAL),
        rect(0.16, 0.44, 0.72, 0.52, SLOT),
        rect(0.76, 0.6, 0.86, 0.66, rgb("3fbf4a")),
    ],
    # 102: a disk-image file: a page with a disk on it.
    "disk_image": page(False) + floppy(0.28, 0.4, 0.74, 0.86),
    # 110, 111: folders, closed and open.
    "folder_closed": [
        polygon([(0.04, 0.16), (0.38, 0.16), (0.46, 0.26), (0.96, 0.26), (0.96, 0.88), (0.04, 0.88)], FOLDER_DARK),
        rect(0.07, 0.32, 0.93, 0.85, FOLDER),
        rect(0.07, 0.32, 0.93, 0.37, FOLDER_LIGHT),
    ],
    "folder_open": [
        polygon([(0.04, 0.16), (0.38, 0.16), (0.46, 0.26), (0.9, 0.26), (0.9, 0.88), (0.04, 0.88)], FOLDER_DARK),
        rect(0.12, 0.3, 0.84, 0.5, PAPER),
        polygon([(0.2, 0.42), (0.98, 0.42), (0.86, 0.88), (0.04, 0.88)], FOLDER_LIGHT),
    ],
    # 112: a file in an image.
    "file": page(True),
}


def render(shapes, size):
    """Rows of (r, g, b, a), top row first."""
    rows = []
    step = 1.0 / (size * SAMPLES)
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px * SAMPLES + sx + 0.5) * step
                    y = (py * SAMPLES + sy + 0.5) * step
                    colour = None
                    for inside, c in shapes:
                        if inside(x, y):
                            colour = c
                    if colour is not None:
                        a = colour[3] / 255.0
                        acc[0] += colour[0] * a
                        acc[1] += colour[1] * a
                        acc[2] += colour[2] * a
                        acc[3] += a
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if alpha > 0:
                row.append(tuple(int(round(acc[i] / acc[3])) for i in range(3)) + (int(round(alpha * 255)),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bitmap(rows):
    """One icon image: header, colour bits and AND mask, both bottom-up."""
    size = len(rows)
    mask_stride = ((size + 31) // 32) * 4
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            colour += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + bytes(colour) + bytes(mask)


def icon_file(shapes):
    images = [bitmap(render(shapes, size)) for size in SIZES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)


def main():
    target = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    target.mkdir(parents=True, exist_ok=True)
    for name, shapes in DRAWINGS.items():
        (target / f"{name}.ico").write_bytes(icon_file(shapes))


if __name__ == "__main__":
    main()
