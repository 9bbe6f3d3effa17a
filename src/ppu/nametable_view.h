// The name-table viewer's picture: all four name tables side by side as the background pass would
// draw them without scrolling, in 32-bit colour. Reads the PPU state and changes nothing.
#pragma once

#include <cstdint>

#include "shell/plugin_api.h"

inline constexpr uint32_t kNametableViewWidth = 512;
inline constexpr uint32_t kNametableViewHeight = 480;
inline constexpr uint32_t kNametableViewColours = 256;

// The viewer's colour table: entries 0-63 of `palette` as $00RRGGBB, repeated over 64-255.
void nametable_viewer_colours(const PaletteEntry* palette, uint32_t* colours);

// Draws the picture into `pixels` (512 x 480, row stride 512): table 0 top left, 1 top right,
// 2 bottom left, 3 bottom right, each pixel colours[palette RAM byte]. While no game runs
// (emu_stop = 1) the picture is left as it is.
void nametable_viewer_draw(uint32_t* pixels, const uint32_t* colours);
// The same picture whatever emu_stop says, for a machine that no emulation thread runs.
void nametable_view_render(uint32_t* pixels, const uint32_t* colours);
