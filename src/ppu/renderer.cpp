// The scanline renderer. All PPU state is sampled once at the start of a line, so CPU writes made
// during line N show from line N+1. Work is done per tile row: the two pattern planes become two
// pixel-pair bytes, one test per pixel decides transparency, and a fully transparent tile row is
// skipped with a single test.
#include "ppu/renderer.h"

#include <cstring>

#include "cart/mapper.h"
#include "machine/machine.h"
#include "ppu/ppu.h"
#include "ppu/tile_row.h"

namespace {

constexpr uint8_t kBlank = 0x3F;          // a row that is not drawn
constexpr uint8_t kOpaqueMark = 0x80;     // an opaque background pixel, for sprite priority
constexpr uint8_t kSpriteZeroHit = 0x40;  // status bit 6
constexpr uint32_t kVisibleRows = 240;    // a name table holds 30 rows of tiles
constexpr uint32_t kTilesPerLine = 33;    // 32 visible plus one for the fine scroll
constexpr uint32_t kAttributeTable = 0x3C0;
constexpr uint32_t kSpritePaletteBase = 16;  // palette RAM of the four sprite groups

// Whole-row fill with one 32-bit store per 4 bytes.
void fill_row(uint8_t* row, uint8_t value) {
  const uint32_t word = value * 0x01010101u;
  for (uint32_t i = 0; i < kFrameRowBytes; i += 4) std::memcpy(row + i, &word, 4);
}

// Writes a background tile row to dst[0..7]. colour[0] is the row's backdrop fill, so transparent
// pixels keep it and every byte can be stored unconditionally.
void put_background_row(uint8_t* dst, PixelPairs pairs, const uint8_t* colour) {
  for (uint32_t k = 0; k < 8; ++k) dst[k] = colour[pairs.pixel(k)];
}

// Writes the opaque pixels of a sprite row to dst[0..7]. A front pixel keeps the background mark
// underneath it; a behind pixel shows only where no opaque background pixel is.
void put_sprite_row(uint8_t* dst, PixelPairs pairs, const uint8_t* colour, bool behind) {
  for (uint32_t k = 0; k < 8; ++k) {
    const uint32_t v = pairs.pixel(k);
    if (v == 0) continue;
    if (!behind) {
      dst[k] = colour[v] | (dst[k] & kOpaqueMark);
    } else if ((dst[k] & kOpaqueMark) == 0) {
      dst[k] = colour[v];
    }
  }
}

// The latch hook sees every pattern fetch of the background, low plane first.
void report_fetches(MapperLatchHook hook, uint32_t address) {
  uint16_t low = static_cast<uint16_t>(address);
  hook(&low);
  uint16_t high = static_cast<uint16_t>(address | 8);
  hook(&high);
}

}  // namespace

void ppu_render_background(uint16_t line, uint8_t* row) {
  if (ppu.background_enable == 0) {
    fill_row(row, kBlank);
    return;
  }

  uint32_t y = ppu.scroll_y + line;
  uint32_t table = ppu.ctrl & 3;
  if (y >= kVisibleRows) {  // into the name table below
    y -= kVisibleRows;
    table ^= 2;
  }
  const uint32_t base = (ppu.ctrl & 0x10) ? 0x1000 : 0;
  const uint32_t fine_y = y & 7;
  const uint32_t fine_x = ppu.fine_x & 7;
  const uint32_t quadrant_row = (y >> 2) & 4;  // attribute shift of the lower 16-pixel half
  uint32_t column = ppu.coarse_x & 31;

  // The pattern pages are taken once: a bank switch by the latch hook shows from the next line.
  const uint8_t* pages[4];
  for (uint32_t i = 0; i < 4; ++i) pages[i] = ppu_pages.pattern_page[(base >> 10) + i];
  const MapperLatchHook hook = mapper_state.mapper_ppu_latch_hook;
  const uint8_t* palette = ppu_pages.palette_page;

  const uint8_t* names = ppu_pages.render_nametable[table];
  const uint8_t* tiles = names + (y >> 3) * 32;
  const uint8_t* attributes = names + kAttributeTable + (y >> 5) * 8;

  // The backdrop is colour 0 of the line's first palette group.
  const uint32_t first_group = ((attributes[column >> 2] >> (quadrant_row | (column & 2))) & 3) * 4;
  uint8_t colour[4] = {palette[first_group], 0, 0, 0};
  fill_row(row, colour[0]);
  uint32_t colour_group = ~0u;

  for (uint32_t k = 0; k < kTilesPerLine; ++k) {
    const uint32_t address = (uint32_t{tiles[column]} << 4) | fine_y;
    if (hook) report_fetches(hook, address | base);
    const PixelPairs pairs = ppu_fetch_tile_row(pages, address);

    if (!pairs.transparent()) {
      const uint32_t group = ((attributes[column >> 2] >> (quadrant_row | (column & 2))) & 3) * 4;
      if (group != colour_group) {
        colour_group = group;
        for (uint32_t v = 1; v < 4; ++v) colour[v] = palette[group + v] | kOpaqueMark;
      }
      if (k == 0 && fine_x != 0) {  // the left tile is cut: pixels left of the row are dropped
        uint8_t cut[8];
        put_background_row(cut, pairs, colour);
        std::memcpy(row, cut + fine_x, 8 - fine_x);
      } else {
        put_background_row(row + 8 * k - fine_x, pairs, colour);
      }
    }

    if (++column == 32) {  // continue in the name table to the right
      column = 0;
      names = ppu_pages.render_nametable[table ^= 1];
      tiles = names + (y >> 3) * 32;
      attributes = names + kAttributeTable + (y >> 5) * 8;
    }
  }
}

void ppu_render_sprites(uint16_t line, uint8_t* row) {
  // $2000 only ever gives 7 or 15; anything else is read as the nearer size.
  const uint32_t height = (ppu.sprite_height_mask & 8) ? 15 : 7;
  const uint32_t base = (ppu.ctrl & 0x08) ? 0x1000 : 0;
  const uint8_t* palette = ppu_pages.palette_page;
  bool sprite_zero_drawn = false;

  // From the highest entry down, so lower-numbered sprites end up on top.
  for (int i = 63; i >= 0; --i) {
    const uint8_t* entry = &ppu.oam[4 * i];
    const uint32_t sprite_y = entry[0];
    const uint32_t tile = entry[1];
    const uint32_t attributes = entry[2];
    const uint32_t x = entry[3];

    // A sprite covers the lines Y + 1 ... Y + height + 1.
    const uint32_t r0 = uint32_t{line} - sprite_y - 1;
    if (r0 > height) continue;
    const uint32_t r = (attributes & 0x80) ? height - r0 : r0;

    uint32_t address;
    if (height == 15) {  // 8x16: the pattern half comes from tile bit 0
      const uint32_t half = (tile & 1) ? 0x1000 : 0;
      address = half | (((r >= 8) ? (tile | 1) : (tile & 0xFE)) << 4) | (r & 7);
    } else {
      address = base | (tile << 4) | r;
    }
    const PixelPairs pairs =
        ppu_fetch_tile_row(ppu_pages.pattern_page, address, (attributes & 0x40) != 0);
    if (pairs.transparent()) continue;

    const uint8_t* colour = palette + kSpritePaletteBase + (attributes & 3) * 4;
    put_sprite_row(row + x, pairs, colour, (attributes & 0x20) != 0);
    if (i == 0) sprite_zero_drawn = true;
  }

  // Sprite-0 hit: an opaque colour under sprite 0 after drawing, or at the latest on its
  // second-to-last line whatever the background holds.
  if (!sprite_zero_drawn || (ppu.status & kSpriteZeroHit)) return;
  const uint8_t* under = row + ppu.oam[3];
  uint8_t seen = 0;
  for (uint32_t k = 0; k < 8; ++k) seen |= under[k];
  if ((seen & 3) != 0 || line == ppu.oam[0] + height) ppu.status |= kSpriteZeroHit;
}
