#!/usr/bin/env python3
"""make-tone.py OUT.wav HZ SECONDS: a mono 16-bit 44.1 kHz sine tone."""
import math, struct, sys, wave

out, hz, seconds = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
with wave.open(out, "wb") as w:
    w.setparams((1, 2, 44100, 0, "NONE", "not compressed"))
    w.writeframes(b"".join(struct.pack("<h", int(12000 * math.sin(2 * math.pi * hz * i / 44100)))
                           for i in range(int(44100 * seconds))))
