// The twelve built-in colour tables of 256 entries each (the 64 NES colours four times over).
#pragma once

#include <cstdint>

#include "shell/plugin_api.h"

inline constexpr int kPaletteCount = 12;
inline constexpr int kPaletteEntries = 256;

extern const PaletteEntry ppu_palettes[kPaletteCount][kPaletteEntries];
// The chosen table, handed to the video plug-in.
extern const PaletteEntry* current_palette;
// Selects a table by index; an index outside 0-11 selects palette 0.
void ppu_select_palette(uint32_t index);
