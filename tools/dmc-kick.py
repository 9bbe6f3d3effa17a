#!/usr/bin/env python3
"""Writes roms/demo/kick.s: the demo's kick drum as a 1-bit delta (DMC) sample.

A sine whose pitch falls from 170 Hz towards 50 Hz, its loudness dying away, around the middle
of the DMC's lower half; the level climbs there from 0 first and returns to 0 at the end, so the
sample leaves the output where it found it. Each bit is 1 where the wanted level is above the
level reached so far (which then rises by 2), else 0 (it falls by 2). Played at rate 15
(33,144 bits a second); 241 bytes ($4013 = 15), about 58 ms.
"""
import math
import sys

RATE = 1789773 / 54
LENGTH = 15 * 16 + 1
BITS = LENGTH * 8
CENTRE, SWING = 32.0, 30.0


def wanted(i):
    t = i / RATE
    # Pitch 50 + 120 * e^(-t / 12 ms), integrated for the phase.
    phase = 2 * math.pi * (50 * t + 120 * 0.012 * (1 - math.exp(-t / 0.012)))
    ramp = min(1.0, t / 0.002, (BITS - i) / RATE / 0.006)
    return CENTRE * ramp + SWING * math.exp(-t / 0.02) * math.sin(phase) * ramp


def main():
    level, data = 0, []
    for n in range(LENGTH):
        byte = 0
        for b in range(8):
            if wanted(n * 8 + b) > level and level <= 125:
                byte |= 1 << b
                level += 2
            elif level >= 2:
                level -= 2
        data.append(byte)
    out = sys.stdout
    out.write("; The kick drum's DMC sample, written by tools/dmc-kick.py (do not edit by hand).\n")
    out.write("; The DMC reads samples from $C000 on, at multiples of 64 bytes: segment DPCM.\n\n")
    out.write(".export kick_sample\n\n")
    out.write('.segment "DPCM"\n\nkick_sample:\n')
    for i in range(0, LENGTH, 16):
        out.write("    .byte " + ", ".join("$%02X" % v for v in data[i:i + 16]) + "\n")


main()
