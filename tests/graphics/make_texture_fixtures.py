#!/usr/bin/env python3
"""make_texture_fixtures.py OUTDIR: tile.bmp (8 x 4, 24-bit), sky.dds (4 x 4 A8R8G8B8 cube)."""
import os
import struct
import sys

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
# Bottom-up rows of blue, green, red bytes, each row 24 bytes (no padding needed).
pixels = b"".join(b"\xff\0\0" if (x + y) % 2 == 0 else b"\0\0\xff"
                  for y in range(3, -1, -1) for x in range(8))
bmp = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
bmp += struct.pack("<IiiHHIIiiII", 40, 8, 4, 1, 24, 0, len(pixels), 2835, 2835, 0, 0) + pixels
# Caps, height, width, pitch, pixel format; texture | complex; all six faces.
header = struct.pack("<IIIIIII", 124, 0x1 | 0x2 | 0x4 | 0x8 | 0x1000, 4, 4, 16, 0, 1) + b"\0" * 44
header += struct.pack("<IIIIIIII", 32, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000)
header += struct.pack("<IIII", 0x1000 | 0x8, 0x200 | 0xFC00, 0, 0) + b"\0" * 4
faces = b"".join(struct.pack("<I", 0xFF000000 | c) * 16
                 for c in [0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF])
with open(os.path.join(out, "tile.bmp"), "wb") as f:
    f.write(bmp)
with open(os.path.join(out, "sky.dds"), "wb") as f:
    f.write(b"DDS " + header + faces)
