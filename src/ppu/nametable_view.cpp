// The name-table viewer runs on the user-interface thread while the game goes on, so it reads
// ctrl, the page table and VRAM without a lock; a picture may mix two frames.
#include "ppu/nametable_view.h"

#include "cart/mapper.h"
#include "machine/emulation.h"
#include "ppu/ppu.h"
#include "ppu/tile_row.h"

namespace {

constexpr uint32_t kTableHeight = 240;
constexpr uint32_t kAttributeTable = 0x3C0;

// One image row: line v of table `left`, then of the table to its right (left ^ 1). Each tile's
// palette group comes from its attribute byte as in the background pass.
void draw_row(uint32_t* out, uint32_t left, uint32_t v, uint32_t base, const uint32_t* colours) {
  const uint8_t* const* pages = &ppu_pages.pattern_page[base >> 10];
  const uint8_t* palette = ppu_pages.palette_page;
  const uint32_t fine_y = v & 7;
  const uint32_t quadrant_row = (v >> 2) & 4;

  for (uint32_t half = 0; half < 2; ++half) {
    const uint8_t* names = ppu_pages.render_nametable[left ^ half];
    const uint8_t* tiles = names + (v >> 3) * 32;
    const uint8_t* attributes = names + kAttributeTable + (v >> 5) * 8;
    for (uint32_t column = 0; column < 32; ++column) {
      // Colour 0 included: a transparent pixel shows its group's colour-0 slot.
      const uint32_t group = ((attributes[column >> 2] >> (quadrant_row | (column & 2))) & 3) * 4;
      const uint32_t colour[4] = {colours[palette[group]], colours[palette[group + 1]],
                                  colours[palette[group + 2]], colours[palette[group + 3]]};
      const PixelPairs pairs = ppu_fetch_tile_row(pages, (uint32_t{tiles[column]} << 4) | fine_y);
      for (uint32_t k = 0; k < 8; ++k) *out++ = colour[pairs.pixel(k)];
    }
  }
}

}  // namespace

void nametable_viewer_colours(const PaletteEntry* palette, uint32_t* colours) {
  for (uint32_t i = 0; i < kNametableViewColours; ++i) {
    const PaletteEntry& c = palette[i & 63];
    colours[i] = (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
  }
}

void nametable_viewer_draw(uint32_t* pixels, const uint32_t* colours) {
  if (emu_stop.load() != 0) return;
  nametable_view_render(pixels, colours);
}

void nametable_view_render(uint32_t* pixels, const uint32_t* colours) {
  // The background's pattern half serves every tile.
  const uint32_t base = (ppu.ctrl & 0x10) ? 0x1000 : 0;
  for (uint32_t y = 0; y < kNametableViewHeight; ++y) {
    const uint32_t table = y < kTableHeight ? 0 : 2;
    const uint32_t v = y < kTableHeight ? y : y - kTableHeight;
    draw_row(pixels + y * kNametableViewWidth, table, v, base, colours);
  }
}
