#!/usr/bin/env python3
"""Writes src/ppu/palettes.cpp, the twelve built-in colour tables of Vantrell.

Every table has 256 entries: the 64 NES colours $00-$3F, then the same 64 three more times
(the renderer's bit-7 background mark then shows the same colour). Palette 0 is the exception:
its entries 192-255 are all zero bytes. Every used entry has flags 4 (no-collapse).

Palette 0, the default, is the fixed table in PALETTE_0. Palette 4 is that table as a 6-bit
DAC shows it (each channel AND $FC). The other ten are computed from one of two colour models,
each with its own settings (SETTINGS below), and a few listed colours of palettes 1, 2 and 7 (and
4) are then set to their fixed values (EXACT below).

Model "ntsc" - the NES composite signal decoded as YIQ:
  * Row r = colour >> 4 sets two signal levels, in volts: LOW = 0.350, 0.518, 0.962, 1.550 and
    HIGH = 1.094, 1.506, 1.962, 1.962. Levels are normalised so that 0.518 V is black (0.0) and
    1.962 V is white (1.0).
  * Column $x0 is a flat signal at HIGH[r]; $xD a flat signal at LOW[r] ($0D is below black and
    clips to it); $xE and $xF are black.
  * Columns $x1-$xC are a square wave at the colour carrier: over the twelve phase steps of one
    carrier cycle the signal sits at HIGH[r] for six steps and LOW[r] for the other six, and each
    column starts one step (30 degrees) later than the one before.
  * Decoding samples the twelve steps: Y is their mean; I and Q are twice the mean of the samples
    times the cosine and sine of the step's phase. The phase is the step's 30 degrees plus
    BASE_HUE (120, fitted so that the "natural" settings come close to palette 0) plus the
    palette's hue shift.
  * Adjustments: Y = Y * contrast + brightness; I and Q times saturation. R, G and B come from
    the FCC YIQ matrix, are multiplied by the palette's channel gains, clipped to 0..1, raised to
    the power gamma (below 1 lightens the mid-tones) and rounded to 0..255.
  * "reverse" runs the hue wheel backwards: column c takes the phase of column 2 - c (mod 12),
    so $x1 keeps its hue and $x2 takes the one of $xC.

Model "wheel" - a plain colour wheel with the NES layout:
  * Row r has the value (r + 1) / 4 for $x0 and the colours, and max(r - 1, 0) / 4 for $xD;
    $xE and $xF are black. Column 1 has the hue 210 degrees (azure), each further column 30
    degrees more, so $x6 is red and $xA green. Saturation per row comes from the settings.
  * Channels are HSV converted to RGB and truncated to 0..255 (value * 255, rounded down).

Black lift (palette 1): $xE and $xF of row r become the grey base + r * step instead of black.

The palettes (index, dialog label, character: model and settings that differ from hue 0,
saturation 1, contrast 1, brightness 0, gamma 1, gains 1):
   0 A  default        the fixed table
   1 B  bright         ntsc: hue -15, saturation 1.25, brightness +0.105, black lift 5 + 4r
   2 C  flat wheel     wheel: saturation by row 1.0, 0.9, 0.65, 0.3
   3 D  natural        ntsc: saturation 0.9, contrast 1.05, brightness -0.05, gamma 0.9
   4 E  6-bit default  palette 0 with every channel AND $FC
   5 F  vivid          ntsc: saturation 1.35, contrast 1.1, brightness -0.03, gamma 0.95
   6 G  muted          ntsc: saturation 0.55, contrast 0.9, brightness +0.04
   7 H  false colour   ntsc: reversed wheel, hue -15, saturation 1.6, contrast 1.05, gamma 0.9
   8 I  warm           natural with hue -6, saturation 1.0, gains 1.08, 1.0, 0.84
   9 J  cool           natural with hue +6, saturation 0.95, gains 0.88, 0.98, 1.1
  10 K  greyscale      natural with saturation 0
  11 L  deep           ntsc: saturation 1.15, gamma 1.3
The fixed colours of palettes 1, 2, 4 and 7 ($00, $01, $0F, $10, $20, $30, $3F) are in EXACT;
the settings above are chosen so that the computed neighbours fit them (palette 2's and 4's
fixed colours are exactly what their models give). Palette 7's fixed greys are tinted, which
is what makes it the false-colour table.

Run from anywhere:  python3 tools/palettes/make_palettes.py          (writes the file)
                    python3 tools/palettes/make_palettes.py --check  (fails if it differs)
"""

import colorsys
import math
import pathlib
import sys

OUTPUT = pathlib.Path(__file__).resolve().parents[2] / "src" / "ppu" / "palettes.cpp"

# The default palette: colours $00-$3F, eight to a line.
PALETTE_0 = """
757575 271B8F 0000AB 47009F 8F0077 AB0013 A70000 7F0B00
432F00 004700 005100 003F17 1B3F5F 000000 000000 000000
BCBCBC 0073EF 233BEF 8300F3 BF00BF E7005B DB2B00 CB4F0F
8B7300 009700 00AB00 00933B 00838B 000000 000000 000000
FFFFFF 3FBFFF 5F97FF A78BFD F77BFF FF77B7 FF7763 FF9B3B
F3BF3F 83D313 4FDF4B 58F898 00EBDB 000000 000000 000000
FFFFFF ABE7FF C7D7FF D7CBFF FFC7FF FFC7DB FFBFB3 FFDBAB
FFE7A3 E3FFA3 ABF3BF B3FFCF 9FFFF3 000000 000000 000000
"""

LOW = (0.350, 0.518, 0.962, 1.550)
HIGH = (1.094, 1.506, 1.962, 1.962)
BLACK_VOLTS, WHITE_VOLTS = 0.518, 1.962
BASE_HUE = 120.0

NTSC_DEFAULTS = {"hue": 0.0, "saturation": 1.0, "contrast": 1.0, "brightness": 0.0,
                 "gamma": 1.0, "gain": (1.0, 1.0, 1.0), "reverse": False, "black_lift": None}

# The decoder settings closest to palette 0; warm, cool and greyscale start from them.
NATURAL = {"model": "ntsc", "saturation": 0.9, "contrast": 1.05, "brightness": -0.05,
           "gamma": 0.9}

# Settings per palette index (the table in the docstring says the same in words).
SETTINGS = {
    1: {"name": "bright", "model": "ntsc", "hue": -15.0, "saturation": 1.25,
        "brightness": 0.105, "black_lift": (5, 4)},
    2: {"name": "flat wheel", "model": "wheel", "saturation": (1.0, 0.9, 0.65, 0.3)},
    3: {**NATURAL, "name": "natural"},
    4: {"name": "6-bit default", "model": "default", "mask": 0xFC},
    5: {"name": "vivid", "model": "ntsc", "saturation": 1.35, "contrast": 1.1,
        "brightness": -0.03, "gamma": 0.95},
    6: {"name": "muted", "model": "ntsc", "saturation": 0.55, "contrast": 0.9,
        "brightness": 0.04},
    7: {"name": "false colour", "model": "ntsc", "hue": -15.0, "reverse": True,
        "saturation": 1.6, "contrast": 1.05, "gamma": 0.9},
    8: {**NATURAL, "name": "warm", "hue": -6.0, "saturation": 1.0, "gain": (1.08, 1.0, 0.84)},
    9: {**NATURAL, "name": "cool", "hue": 6.0, "saturation": 0.95, "gain": (0.88, 0.98, 1.1)},
    10: {**NATURAL, "name": "greyscale", "saturation": 0.0},
    11: {"name": "deep", "model": "ntsc", "saturation": 1.15, "gamma": 1.3},
}

# Colours that are fixed whatever the model gives (palette -> colour number -> RRGGBB).
EXACT = {
    1: {0x00: 0x808080, 0x01: 0x0000BB, 0x0F: 0x050505, 0x10: 0xC8C8C8, 0x20: 0xFFFFFF,
        0x30: 0xFFFFFF, 0x3F: 0x111111},
    2: {0x00: 0x3F3F3F, 0x01: 0x001F3F, 0x0F: 0x000000, 0x10: 0x7F7F7F, 0x20: 0xBFBFBF,
        0x30: 0xFFFFFF, 0x3F: 0x000000},
    4: {0x00: 0x747474, 0x01: 0x24188C, 0x0F: 0x000000, 0x10: 0xBCBCBC, 0x20: 0xFCFCFC,
        0x30: 0xFCFCFC, 0x3F: 0x000000},
    7: {0x00: 0x626A00, 0x01: 0x0000FF, 0x0F: 0x000000, 0x10: 0xFF66FF, 0x20: 0xF8F8F8,
        0x30: 0xFFFFFF, 0x3F: 0x004000},
}


def default_colours():
    return [int(word, 16) for word in PALETTE_0.split()]


def pack(r, g, b):
    return (r << 16) | (g << 8) | b


def normalise(volts):
    return (volts - BLACK_VOLTS) / (WHITE_VOLTS - BLACK_VOLTS)


def ntsc_yiq(colour, hue, reverse):
    """Y, I, Q of one colour number, decoded from its composite signal."""
    row, column = colour >> 4, colour & 15
    if reverse and 1 <= column <= 12:
        column = (2 - column) % 12 or 12
    if column == 0:
        return normalise(HIGH[row]), 0.0, 0.0
    if column == 13:
        return normalise(LOW[row]), 0.0, 0.0
    y = i = q = 0.0
    for step in range(12):
        level = normalise(HIGH[row] if (column + step) % 12 < 6 else LOW[row])
        phase = math.radians(step * 30 + BASE_HUE + hue)
        y += level / 12
        i += 2 * level * math.cos(phase) / 12
        q += 2 * level * math.sin(phase) / 12
    return y, i, q


def ntsc_colour(colour, s):
    column = colour & 15
    if column >= 14:
        return 0
    y, i, q = ntsc_yiq(colour, s["hue"], s["reverse"])
    y = y * s["contrast"] + s["brightness"]
    i *= s["saturation"]
    q *= s["saturation"]
    rgb = (y + 0.956 * i + 0.621 * q, y - 0.272 * i - 0.647 * q, y - 1.106 * i + 1.703 * q)
    channels = []
    for value, gain in zip(rgb, s["gain"]):
        value = min(max(value * gain, 0.0), 1.0) ** s["gamma"]
        channels.append(int(math.floor(value * 255 + 0.5)))
    return pack(*channels)


def wheel_colour(colour, s):
    row, column = colour >> 4, colour & 15
    if column >= 14:
        return 0
    if column == 0:
        value, hue, saturation = (row + 1) / 4, 0.0, 0.0
    elif column == 13:
        value, hue, saturation = max(row - 1, 0) / 4, 0.0, 0.0
    else:
        value = (row + 1) / 4
        hue = ((210 + 30 * (column - 1)) % 360) / 360
        saturation = s["saturation"][row]
    return pack(*(int(c * 255) for c in colorsys.hsv_to_rgb(hue, saturation, value)))


def palette_colours(index):
    """The 64 colours of palette `index`."""
    if index == 0:
        return default_colours()
    s = dict(NTSC_DEFAULTS)
    s.update(SETTINGS[index])
    if s["model"] == "default":
        mask = s["mask"] * 0x010101
        colours = [c & mask for c in default_colours()]
    elif s["model"] == "wheel":
        colours = [wheel_colour(c, s) for c in range(64)]
    else:
        colours = [ntsc_colour(c, s) for c in range(64)]
    if s["black_lift"]:
        base, step = s["black_lift"]
        for row in range(4):
            grey = base + row * step
            for column in (14, 15):
                colours[row * 16 + column] = pack(grey, grey, grey)
    for colour, value in EXACT.get(index, {}).items():
        colours[colour] = value
    return colours


def entry(value, flags=4):
    return "{0x%02X, 0x%02X, 0x%02X, %d}" % (value >> 16, (value >> 8) & 255, value & 255, flags)


def palette_block(index):
    colours = palette_colours(index)
    entries = [entry(c) for c in colours] * 3
    if index == 0:
        entries += [entry(0, 0)] * 64
    else:
        entries += [entry(c) for c in colours]
    label = "Palette %s" % chr(ord("A") + index)
    name = "default" if index == 0 else SETTINGS[index]["name"]
    lines = ["    // %d (%s): %s" % (index, label, name), "    {"]
    for first in range(0, 256, 4):
        lines.append("        " + ", ".join(entries[first:first + 4]) + ",")
    lines.append("    },")
    return lines


HEADER = """\
// The twelve built-in colour tables. Generated by tools/palettes/make_palettes.py, which
// documents the colour models and each palette's settings; change the script, not this file.
#include "ppu/palettes.h"

// Red, green, blue, flags. Entries 0-63 are the NES colours $00-$3F, repeated in 64-127,
// 128-191 and 192-255 so that the renderer's bit-7 mark shows the same colour; palette 0 leaves
// 192-255 zero.
// clang-format off
const PaletteEntry ppu_palettes[kPaletteCount][kPaletteEntries] = {
"""

FOOTER = """\
};
// clang-format on

const PaletteEntry* current_palette = ppu_palettes[0];

void ppu_select_palette(uint32_t index) {
  current_palette = ppu_palettes[index < kPaletteCount ? index : 0];
}
"""


def render():
    lines = []
    for index in range(12):
        lines += palette_block(index)
    return HEADER + "\n".join(lines) + "\n" + FOOTER


def main():
    text = render()
    if "--check" in sys.argv[1:]:
        if OUTPUT.read_text() != text:
            sys.exit("%s differs from the generator's output" % OUTPUT)
        return
    OUTPUT.write_text(text)


if __name__ == "__main__":
    main()
