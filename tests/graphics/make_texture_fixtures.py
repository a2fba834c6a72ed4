#!/usr/bin/env python3
"""make_texture_fixtures.py OUTDIR: the texture pool tests' resources, tile.bmp (8 x 4,
24-bit) and sky.dds (a 4 x 4 A8R8G8B8 cube map)."""
import os
import struct
import sys


def bmp(width, height, colour_at):
    row_bytes = (width * 3 + 3) & ~3
    pixels = b""
    for y in range(height - 1, -1, -1):  # bottom-up
        row = b"".join(bytes(reversed(colour_at(x, y))) for x in range(width))
        pixels += row + b"\0" * (row_bytes - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def dds_cube(edge, face_colours):
    flags = 0x1 | 0x2 | 0x4 | 0x8 | 0x1000  # caps, height, width, pitch, pixel format
    pixel_format = struct.pack("<IIIIIIII", 32, 0x41, 0, 32, 0x00FF0000, 0x0000FF00, 0x000000FF,
                               0xFF000000)
    caps = struct.pack("<IIII", 0x1000 | 0x8, 0x200 | 0xFC00, 0, 0)  # texture|complex, all faces
    header = struct.pack("<IIIIIII", 124, flags, edge, edge, edge * 4, 0, 1) + b"\0" * 44
    header += pixel_format + caps + b"\0" * 4
    faces = b"".join(struct.pack("<I", 0xFF000000 | c) * (edge * edge) for c in face_colours)
    return b"DDS " + header + faces


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "tile.bmp"), "wb") as f:
        f.write(bmp(8, 4, lambda x, y: (255, 0, 0) if (x + y) % 2 else (0, 0, 255)))
    with open(os.path.join(out, "sky.dds"), "wb") as f:
        f.write(dds_cube(4, [0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF]))


if __name__ == "__main__":
    main()
