#!/usr/bin/env python3
"""Converts an uncompressed 24- or 32-bit BMP (as quenbol-driver writes it) to
a PNG. Standard library only, so the screenshot needs no image package.

    python3 scripts/bmp_to_png.py in.bmp out.png
"""
import struct
import sys
import zlib
from pathlib import Path


def read_bmp(data):
    """Returns (width, height, rows of RGB bytes, top row first)."""
    if data[:2] != b"BM":
        raise ValueError("not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    _, width, height, _, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    if bits not in (24, 32) or compression != 0:
        raise ValueError(f"unsupported BMP: {bits} bits, compression {compression}")
    step = bits // 8
    stride = (width * step + 3) & ~3
    bottom_up = height > 0
    height = abs(height)
    rows = []
    for y in range(height):
        start = offset + y * stride
        line = data[start:start + width * step]
        rgb = bytearray(width * 3)
        rgb[0::3] = line[2::step]
        rgb[1::3] = line[1::step]
        rgb[2::3] = line[0::step]
        rows.append(bytes(rgb))
    if bottom_up:
        rows.reverse()
    return width, height, rows


def write_png(width, height, rows):
    def chunk(kind, payload):
        return (struct.pack(">I", len(payload)) + kind + payload
                + struct.pack(">I", zlib.crc32(kind + payload) & 0xFFFFFFFF))

    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main(argv):
    if len(argv) != 2:
        sys.exit("usage: bmp_to_png.py in.bmp out.png")
    width, height, rows = read_bmp(Path(argv[0]).read_bytes())
    Path(argv[1]).write_bytes(write_png(width, height, rows))


if __name__ == "__main__":
    main(sys.argv[1:])
