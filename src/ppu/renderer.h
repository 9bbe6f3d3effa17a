// The scanline renderer: draws one line of background and sprites into a frame-buffer row from
// the PPU state, and decides sprite-0 hit for that line.
#pragma once

#include <cstdint>

// Background of a visible line (0-239) into its 272-byte row. With the background off the row is
// filled with $3F.
void ppu_render_background(uint16_t line, uint8_t* row);
// Sprites of the same line, drawn over the background; called only while sprites are enabled.
void ppu_render_sprites(uint16_t line, uint8_t* row);
