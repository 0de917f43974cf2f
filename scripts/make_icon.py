#!/usr/bin/env python3
"""Draws quenbol's icon, a speech bubble holding the tally character 正 (five
strokes, the way counts are kept by hand in Japan), and writes it as
res/quenbol.ico: one 32x32 and one 16x16 image, 16 colours (4 bits a pixel)
with a transparency mask. Standard library only; the output is byte-for-byte
reproducible, so the .ico in the repository can be checked against it.

    python3 scripts/make_icon.py [output.ico] [--preview preview.png]
"""
import struct
import sys
import zlib
from pathlib import Path

# The 16 colours every display of 4 bits a pixel has, as (R, G, B).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, MAROON, GRAY, RED, WHITE = 0, 1, 8, 9, 15
TRANSPARENT = None

# Per size: the bubble (left, top, right, bottom, corner radius), its tail (a
# triangle), and the five strokes of 正 as filled rectangles (left, top, right,
# bottom, all inclusive), in writing order.
DESIGNS = {
    32: {
        "bubble": (1, 2, 29, 22, 6),
        "tail": ((7, 19), (14, 19), (4, 29)),
        "strokes": [
            (8, 5, 22, 6),     # top bar
            (15, 5, 16, 18),   # centre stem
            (17, 11, 21, 12),  # short bar to the right
            (9, 11, 10, 18),   # left stem
            (6, 18, 24, 19),   # bottom bar
        ],
        "shadow": 1,
    },
    16: {
        "bubble": (0, 1, 14, 11, 3),
        "tail": ((3, 9), (7, 9), (1, 15)),
        "strokes": [
            (4, 3, 10, 3),
            (7, 3, 7, 9),
            (8, 6, 10, 6),
            (4, 6, 4, 9),
            (3, 9, 11, 9),
        ],
        "shadow": 1,
    },
}


def in_rounded_rect(x, y, box):
    left, top, right, bottom, r = box
    if not (left <= x <= right and top <= y <= bottom):
        return False
    # Distance to the nearest corner centre, for the four corner squares.
    cx = left + r if x < left + r else right - r if x > right - r else x
    cy = top + r if y < top + r else bottom - r if y > bottom - r else y
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r // 2


def in_triangle(x, y, tri):
    (ax, ay), (bx, by), (cx, cy) = tri

    def side(px, py, qx, qy):
        return (qx - px) * (y - py) - (qy - py) * (x - px)

    d1, d2, d3 = side(ax, ay, bx, by), side(bx, by, cx, cy), side(cx, cy, ax, ay)
    negative = d1 < 0 or d2 < 0 or d3 < 0
    positive = d1 > 0 or d2 > 0 or d3 > 0
    return not (negative and positive)


def draw(size):
    """Returns size rows of size palette indices (or TRANSPARENT), top row first."""
    design = DESIGNS[size]

    def inside(x, y):
        return 0 <= x < size and 0 <= y < size and (
            in_rounded_rect(x, y, design["bubble"]) or in_triangle(x, y, design["tail"]))

    pixels = [[TRANSPARENT] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            if inside(x, y):
                edge = any(not inside(x + dx, y + dy)
                           for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                pixels[y][x] = BLACK if edge else WHITE
            else:
                s = design["shadow"]
                if inside(x - s, y - s):
                    pixels[y][x] = GRAY
    for n, (left, top, right, bottom) in enumerate(design["strokes"]):
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                # The last stroke in a darker red, the way a finished tally
                # of five is closed off.
                pixels[y][x] = MAROON if n == 4 else RED
    return pixels


def dib(pixels):
    """One icon image: BITMAPINFOHEADER, palette, colour bits, AND mask."""
    size = len(pixels)
    colour_row = (size * 4 + 31) // 32 * 4
    mask_row = (size + 31) // 32 * 4
    colour = bytearray()
    mask = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray(colour_row)
        bits = bytearray(mask_row)
        for x, p in enumerate(row):
            index = 0 if p is TRANSPARENT else p
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if p is TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        colour += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(colour) + bytes(mask)


def ico(images):
    """An .ico file of the given (size, DIB) pairs."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def png(pixels, scale):
    """A preview PNG, scaled up, transparent parts on a light check pattern."""
    size = len(pixels)
    raw = bytearray()
    for y in range(size * scale):
        raw.append(0)
        for x in range(size * scale):
            p = pixels[y // scale][x // scale]
            if p is TRANSPARENT:
                raw += bytes((0xE8, 0xE8, 0xF0) if (x // 4 + y // 4) % 2 else (0xFF, 0xFF, 0xFF))
            else:
                raw += bytes(PALETTE[p])

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    side = size * scale
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def main(argv):
    args = list(argv)
    preview = None
    if "--preview" in args:
        i = args.index("--preview")
        preview = args[i + 1]
        del args[i:i + 2]
    out = Path(args[0]) if args else Path(__file__).resolve().parent.parent / "res" / "quenbol.ico"
    pictures = {size: draw(size) for size in (32, 16)}
    out.write_bytes(ico([(size, dib(p)) for size, p in pictures.items()]))
    if preview:
        Path(preview).write_bytes(png(pictures[32], 8))
        Path(preview).with_suffix(".16.png").write_bytes(png(pictures[16], 16))


if __name__ == "__main__":
    main(sys.argv[1:])
