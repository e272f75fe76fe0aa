#!/usr/bin/env python3
"""Writes resources/atari.wav: the short bright chime Harovan plays on a hit.

Two bell-like notes (G6, then C7 a little later), each a few decaying partials.
Only the standard library is used, so the sound can be rebuilt anywhere:
    python3 tools/make-chime.py [output.wav]
"""

import math
import os
import struct
import sys
import wave

RATE = 22050
LENGTH = 0.9  # seconds

# (start in seconds, fundamental in Hz)
NOTES = [(0.0, 1567.98), (0.14, 2093.00)]
# (frequency ratio, relative amplitude, decay time constant in seconds)
PARTIALS = [(1.0, 1.0, 0.28), (2.0, 0.35, 0.12), (3.01, 0.12, 0.06)]
ATTACK = 0.004


def sample(t):
    value = 0.0
    for start, fundamental in NOTES:
        local = t - start
        if local < 0:
            continue
        envelope = min(1.0, local / ATTACK)
        for ratio, amplitude, decay in PARTIALS:
            value += envelope * amplitude * math.exp(-local / decay) * math.sin(2 * math.pi * fundamental * ratio * local)
    return value


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "atari.wav")
    values = [sample(i / RATE) for i in range(int(RATE * LENGTH))]
    peak = max(abs(v) for v in values) or 1.0
    # A short fade at the end, so the last sample is silence and nothing clicks.
    fade = int(RATE * 0.02)
    for i in range(fade):
        values[-1 - i] *= i / fade
    frames = b"".join(struct.pack("<h", int(round(v / peak * 0.8 * 32767))) for v in values)
    with wave.open(target, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


if __name__ == "__main__":
    main()
