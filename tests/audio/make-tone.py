#!/usr/bin/env python3
"""Writes a mono 16-bit 44.1 kHz WAVE file holding a sine tone.

    make-tone.py OUT.wav HZ SECONDS
"""
import math
import struct
import sys
import wave

out, hz, seconds = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
rate = 44100
frames = int(rate * seconds)
with wave.open(out, "wb") as w:
    w.setnchannels(1)
    w.setsampwidth(2)
    w.setframerate(rate)
    w.writeframes(b"".join(
        struct.pack("<h", int(12000 * math.sin(2 * math.pi * hz * i / rate)))
        for i in range(frames)))
