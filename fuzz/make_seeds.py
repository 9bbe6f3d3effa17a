#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into fuzz/corpus/<target>/."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def put(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(bytes(data))


# A 16 KB program whose code sits at $FF00 under mapper 0, 1 and 4 alike (the last 8 KB is fixed
# at $E000 by all three): turns on the picture, the sound and the NMI, writes a palette entry and
# the mapper's first registers, then loops; the NMI counts frames at $00.
SETUP = bytes([
    0x78,  # SEI
    0xA9, 0x80, 0x8D, 0x00, 0x20,  # LDA #$80, STA $2000
    0xA9, 0x1E, 0x8D, 0x01, 0x20,  # LDA #$1E, STA $2001
    0xA9, 0x0F, 0x8D, 0x15, 0x40,  # LDA #$0F, STA $4015
    0xA9, 0x3F, 0x8D, 0x06, 0x20,  # LDA #$3F, STA $2006
    0xA9, 0x00, 0x8D, 0x06, 0x20,  # LDA #$00, STA $2006
    0xA9, 0x21, 0x8D, 0x07, 0x20,  # LDA #$21, STA $2007
    0x8D, 0x00, 0x80, 0x8D, 0x01, 0xA0,  # STA $8000, STA $A001
])
CODE = SETUP + bytes([0x4C, len(SETUP), 0xFF])  # JMP to itself
NMI = bytes([0xE6, 0x00, 0x40])  # INC $00, RTI


def ines(mapper, chr_banks, flags6=0):
    prg = bytearray(16384)
    prg[0x3F00:0x3F00 + len(CODE)] = CODE
    prg[0x3F80:0x3F80 + len(NMI)] = NMI
    prg[0x3FFA:0x4000] = bytes([0x80, 0xFF, 0x00, 0xFF, 0x80, 0xFF])  # NMI, reset, IRQ
    header = bytes([0x4E, 0x45, 0x53, 0x1A, 1, chr_banks, (mapper & 0xF) << 4 | flags6,
                    mapper & 0xF0]) + bytes(8)
    return header + prg + bytes(range(256)) * (32 * chr_banks)


put("fuzz_ines", "nrom", ines(0, 0, flags6=1))
put("fuzz_ines", "mmc1", ines(1, 1))
put("fuzz_ines", "mmc3", ines(4, 1))
put("fuzz_ines", "header_only", b"NES\x1a\x02\x01\x00\x00")

# fuzz_ips: a 2-byte little-endian target length, the target, then the patch.
def ips_input(target, patch):
    return struct.pack("<H", len(target)) + bytes(target) + patch


data = b"\x00\x00\x02\x00\x03ABC"            # 3 bytes at 2
run = b"\x00\x00\x10\x00\x00\x00\x05\x7e"    # 5 bytes of $7E at 16, past the end
put("fuzz_ips", "records", ips_input(range(12), b"PATCH" + data + run + b"EOF" + b"\x00\x00\x08"))
put("fuzz_ips", "truncated", ips_input(range(4), b"PATCH" + data[:6]))
put("fuzz_ips", "bad_magic", ips_input(range(4), b"PATCX" + data + b"EOF"))


# fuzz_snss: a whole state as a save writes it: the base registers with the code's start as PC,
# then the controllers.
def block(tag, payload, version=1):
    return tag + struct.pack(">II", version, len(payload)) + payload


basr = bytearray(6450)
basr[0:8] = bytes([0x24, 1, 2, 3, 0xFD, 0, 0xFF, 0x00])  # P X Y A S, reserved, PC $FF00
basr[8:10] = bytes([0x80, 0x1E])  # PPU control and mask
basr[0x0A:0x80A] = bytes(range(256)) * 8  # RAM
basr[0x192A:0x192E] = bytes([0, 1, 0, 1])
cntr = bytes([0, 0, 3, 5, 0, 0, 0x41, 0x40]) + struct.pack("<I", 0x80) + bytes(4) + bytes(8)
put("fuzz_snss", "state", b"SNSS" + struct.pack(">I", 2) + block(b"BASR", basr) + block(b"CNTR", cntr))
put("fuzz_snss", "skipped_blocks",
    b"SNSS" + struct.pack(">I", 3) + block(b"MPRD", bytes(16)) + block(b"BASR", bytes(4), 2)
    + block(b"CNTR", cntr))

# fuzz_battery: the battery save itself: a whole one, and one cut short.
put("fuzz_battery", "whole", bytes(range(256)) * 32)
put("fuzz_battery", "short", bytes(range(100)))
