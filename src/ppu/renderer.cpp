// The scanline renderer. All PPU state is sampled once at the start of a line, so CPU writes made
// during line N show from line N+1. Work is done per tile row: the two pattern planes become two
// pixel-pair bytes, one test per pixel decides transparency, and a fully transparent tile row is
// skipped with a single test.
#include "ppu/renderer.h"

#include <bit>
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

// Writes the opaque pixels of a sprite row (pattern planes low and high) to dst[0..7]. A front
// pixel keeps the background mark underneath it; a behind pixel shows only where no opaque
// background pixel is.
void put_sprite_row(uint8_t* dst, uint8_t low, uint8_t high, const RowColours& colours,
                    bool behind) {
  constexpr uint64_t kMarks = 0x8080808080808080ull, kLowBits = 0x0101010101010101ull;
  uint64_t d;
  std::memcpy(&d, dst, 8);
  const uint64_t opaque = kPlaneMasks[low] | kPlaneMasks[high];
  const uint64_t colour = ppu_row_colours(low, high, colours);  // value 0 is colour 0: zero
  if (!behind) {
    d = (d & ~opaque) | colour | (d & opaque & kMarks);
  } else {
    const uint64_t background = ((d >> 7) & kLowBits) * 0xFF;  // $FF under opaque background
    const uint64_t shown = opaque & ~background;
    d = (d & ~shown) | (colour & shown);
  }
  std::memcpy(dst, &d, 8);
}

// Which sprites cover each line, as a mask of entries. Rebuilt when the sprite memory or the
// sprite height differs from what it was built from; the check runs at the start of every line,
// so a write to the sprite memory during the picture shows from the next line, as the
// per-line sampling of all other state does.
struct SpriteLines {
  uint8_t oam[256];
  uint32_t height = ~0u;
  uint64_t on_line[256];
};
SpriteLines g_sprite_lines;

const SpriteLines& sprite_lines(uint32_t height) {
  SpriteLines& s = g_sprite_lines;
  if (s.height == height && std::memcmp(s.oam, ppu.oam, sizeof s.oam) == 0) return s;
  std::memcpy(s.oam, ppu.oam, sizeof s.oam);
  s.height = height;
  std::memset(s.on_line, 0, sizeof s.on_line);
  // A sprite covers the lines Y + 1 ... Y + height + 1.
  for (uint32_t i = 0; i < 64; ++i) {
    for (uint32_t line = s.oam[4 * i] + 1u; line <= s.oam[4 * i] + height + 1 && line < 256;
         ++line) {
      s.on_line[line] |= uint64_t{1} << i;
    }
  }
  return s;
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
  const uint8_t backdrop = palette[first_group];
  fill_row(row, backdrop);
  // The four groups' colours for the whole line; transparent pixels keep the fill.
  RowColours groups[4];
  for (uint32_t g = 0; g < 4; ++g) {
    groups[g].set(0, backdrop);
    for (uint32_t v = 1; v < 4; ++v) groups[g].set(v, palette[g * 4 + v] | kOpaqueMark);
  }

  for (uint32_t k = 0; k < kTilesPerLine; ++k) {
    const uint32_t address = (uint32_t{tiles[column]} << 4) | fine_y;
    if (hook) report_fetches(hook, address | base);
    const uint8_t* plane = ppu_tile_planes(pages, address);

    if ((plane[0] | plane[8]) != 0) {
      const RowColours& colours =
          groups[(attributes[column >> 2] >> (quadrant_row | (column & 2))) & 3];
      const uint64_t pixels = ppu_row_colours(plane[0], plane[8], colours);
      if (k == 0 && fine_x != 0) {  // the left tile is cut: pixels left of the row are dropped
        uint8_t cut[8];
        std::memcpy(cut, &pixels, 8);
        std::memcpy(row, cut + fine_x, 8 - fine_x);
      } else {
        std::memcpy(row + 8 * k - fine_x, &pixels, 8);
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
  for (uint64_t on_line = sprite_lines(height).on_line[line]; on_line != 0;) {
    const int i = 63 - std::countl_zero(on_line);
    on_line &= ~(uint64_t{1} << i);
    const uint8_t* entry = &ppu.oam[4 * i];
    const uint32_t sprite_y = entry[0];
    const uint32_t tile = entry[1];
    const uint32_t attributes = entry[2];
    const uint32_t x = entry[3];

    const uint32_t r0 = uint32_t{line} - sprite_y - 1;
    const uint32_t r = (attributes & 0x80) ? height - r0 : r0;

    uint32_t address;
    if (height == 15) {  // 8x16: the pattern half comes from tile bit 0
      const uint32_t half = (tile & 1) ? 0x1000 : 0;
      address = half | (((r >= 8) ? (tile | 1) : (tile & 0xFE)) << 4) | (r & 7);
    } else {
      address = base | (tile << 4) | r;
    }
    const uint8_t* plane = ppu_tile_planes(ppu_pages.pattern_page, address);
    uint8_t low = plane[0], high = plane[8];
    if ((low | high) == 0) continue;
    if (attributes & 0x40) {
      low = kReversedBits[low];
      high = kReversedBits[high];
    }

    const uint8_t* colour = palette + kSpritePaletteBase + (attributes & 3) * 4;
    RowColours colours{};
    for (uint32_t v = 1; v < 4; ++v) colours.set(v, colour[v]);
    put_sprite_row(row + x, low, high, colours, (attributes & 0x20) != 0);
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
