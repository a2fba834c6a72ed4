"""Wraps the sound card's raw capture (s16le, 48 kHz, stereo) in a WAVE header."""
import struct
import sys

raw = open(sys.argv[1], "rb").read()
rate, channels, bits = 48000, 2, 16
header = b"RIFF" + struct.pack("<I", 36 + len(raw)) + b"WAVEfmt " + struct.pack(
    "<IHHIIHH", 16, 1, channels, rate, rate * channels * bits // 8, channels * bits // 8, bits
) + b"data" + struct.pack("<I", len(raw))
with open(sys.argv[2], "wb") as out:
    out.write(header + raw)
