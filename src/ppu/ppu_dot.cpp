// The dot-clocked renderer. Each visible and pre-render line runs the console's schedule: a
// name-table, attribute and two pattern fetches every 8 dots over dots 1-256 and 321-336 into
// the background shifters, scroll increments at dots 8k, 256 and 257 (and the vertical copy over
// 280-304 of the pre-render line), sprite evaluation for the next line from dot 65 and its
// pattern fetches over 257-320. The sprite fetches leave the next line's sprite pixels in a
// 256-entry row; the console's sprite shifters would hold the same pixels, since nothing reloads
// them before the line is drawn. Pixels are written dot by dot, so a CPU write shows from the
// next dot; a run long enough to cover a whole tile of a visible line draws its 8 dots at once,
// with the fetches in their order. The evaluation is computed whole at dot 65 (secondary OAM and
// the overflow flag's dot; the OAM address does not move with it). The frame buffer holds 6-bit
// colour indices: the emphasis bits of $2001 have nowhere to go and are not shown.
#include "ppu/ppu_dot.h"

#include <array>
#include <cstring>

#include "machine/frame.h"
#include "machine/machine.h"
#include "ppu/ppu.h"
#include "ppu/tile_row.h"

PpuDot ppu_dot = {};
void (*ppu_dot_a12_rise)() = nullptr;

namespace {

constexpr uint32_t kVblankLine = 241;
constexpr uint32_t kLinesPerFrame = 262;
constexpr uint8_t kVblank = 0x80, kSpriteZeroHit = 0x40, kOverflow = 0x20;
constexpr uint8_t kSpriteBehind = 0x20, kSpriteZero = 0x40;
constexpr uint32_t kNtscTopLines = 8, kNtscBottomLine = 233;

bool rendering_enabled() { return (ppu.mask & 0x18) != 0; }

void report_pattern_fetch(uint32_t address) {
  if (MapperLatchHook hook = mapper_state.mapper_ppu_latch_hook) {
    uint16_t low = uint16_t(address);
    hook(&low);
    uint16_t high = uint16_t(address | 8);
    hook(&high);
  }
}

uint8_t pattern_byte(uint32_t address) {
  return ppu_pages.pattern_page[(address >> 10) & 7][address & 0x3FF];
}

// Bit k of a pattern plane at bit 4k: the plane's share of eight 4-bit pixels, leftmost on top.
constexpr std::array<uint32_t, 256> kNibbleSpread = [] {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    for (uint32_t k = 0; k < 8; ++k) table[i] |= ((i >> k) & 1) << (4 * k);
  }
  return table;
}();

void shift_background(PpuDot& p) { p.shift_pixels <<= 4; }

void load_shifters(PpuDot& p) {
  p.shift_pixels = (p.shift_pixels & ~uint64_t{0xFFFFFFFF}) | p.tile_pixels;
}

uint32_t background_pattern_address(const PpuDot& p) {
  return ((ppu.ctrl & 0x10) << 8) | (uint32_t{p.nametable_byte} << 4) | (p.v >> 12);
}

// One dot of the background fetch cycle (dots 1-256 and 321-336): name table on the first dot
// of each tile, attribute on the third, the pattern planes on the fifth and seventh, coarse X
// on the eighth. The latch hook sees both planes of a tile after they are read, so a latching
// mapper's switch shows from the next tile. Tested as a chain of ifs in order of frequency: the
// even dots do nothing, which keeps the branches predictable.
inline void fetch_background(PpuDot& p, uint32_t d) {
  const uint32_t phase = d & 7;
  if (!(phase & 1)) {
    if (phase == 0) ppu_dot_increment_x(p);
  } else if (phase == 1) {
    load_shifters(p);
    p.nametable_byte = ppu_pages.nametable_page[(p.v >> 10) & 3][p.v & 0x3FF];
    ppu_dot_bus(p, 0x2000);
  } else if (phase == 3) {
    const uint8_t a =
        ppu_pages.nametable_page[(p.v >> 10) & 3][0x3C0 | ((p.v >> 4) & 0x38) | ((p.v >> 2) & 7)];
    p.attribute_bits = uint8_t((a >> (((p.v >> 4) & 4) | (p.v & 2))) & 3);
  } else if (phase == 5) {
    const uint32_t address = background_pattern_address(p);
    ppu_dot_bus(p, address);
    p.pattern_low = pattern_byte(address);
  } else {
    const uint32_t address = background_pattern_address(p);
    p.pattern_high = pattern_byte(address | 8);
    // The tile's palette indices: pixel value in bits 0-1, the attribute above it where opaque.
    uint32_t pixels = kNibbleSpread[p.pattern_low] | (kNibbleSpread[p.pattern_high] << 1);
    pixels |= ((pixels | (pixels >> 1)) & 0x11111111) * (uint32_t{p.attribute_bits} << 2);
    p.tile_pixels = pixels;
    report_pattern_fetch(address);
  }
}

// Sprite evaluation for the next line, run at dot 65. The entries in range are copied in OAM
// order from oam_address on; after eight, the search for a ninth steps the byte index along with
// the entry (the hardware's overflow bug), and the overflow flag is set at the dot that search
// would reach it: 2 dots per entry checked, 8 per entry copied.
void evaluate_sprites(PpuDot& p) {
  const uint32_t line = p.line;
  const uint32_t height = (ppu.ctrl & 0x20) ? 16 : 8;
  uint32_t n = ppu.oam_address;
  uint32_t dot = 65;
  uint32_t count = 0;
  p.sprite_zero_found = false;
  p.overflow_dot = 0;
  for (; n < 256 && count < 8; n += 4) {
    const uint8_t y = ppu.oam[n];
    p.secondary_oam[count * 4] = y;
    if (line - y < height) {
      for (uint32_t k = 1; k < 4; ++k) p.secondary_oam[count * 4 + k] = ppu.oam[(n + k) & 0xFF];
      if (n == ppu.oam_address) p.sprite_zero_found = true;
      ++count;
      dot += 8;
    } else {
      dot += 2;
    }
  }
  p.sprite_count = uint8_t(count);
  if (count < 8) return;
  for (uint32_t m = 0; n < 256; n += 4, m = (m + 1) & 3, dot += 2) {
    if (line - ppu.oam[(n + m) & 0xFF] < height) {
      if (dot + 1 <= 256) p.overflow_dot = uint16_t(dot + 1);
      return;
    }
  }
}

// The pattern fetches of sprite slot k (dots 261 + 8k and 263 + 8k). Empty slots fetch tile $FF
// all the same (A12 and the latch hook see them) and draw nothing.
void fetch_sprite(PpuDot& p, uint32_t k) {
  const uint8_t* e = &p.secondary_oam[k * 4];
  const bool tall = (ppu.ctrl & 0x20) != 0;
  uint32_t row = (p.line - e[0]) & (tall ? 15 : 7);
  if (e[2] & 0x80) row ^= tall ? 15 : 7;
  uint32_t address;
  if (tall) {
    address = ((e[1] & 1) << 12) | ((e[1] & 0xFE) << 4) | ((row & 8) << 1) | (row & 7);
  } else {
    address = ((ppu.ctrl & 0x08) << 9) | (uint32_t{e[1]} << 4) | row;
  }
  ppu_dot_bus(p, address);
  uint8_t low = pattern_byte(address);
  uint8_t high = pattern_byte(address | 8);
  report_pattern_fetch(address);
  if (k >= p.sprite_count || (low | high) == 0) return;

  if (e[2] & 0x40) {
    low = kReversedBits[low];
    high = kReversedBits[high];
  }
  const uint8_t flags = uint8_t(0x10 | ((e[2] & 3) << 2) | (e[2] & kSpriteBehind) |
                                (k == 0 && p.sprite_zero_found ? kSpriteZero : 0));
  const uint32_t x0 = e[3];
  for (uint32_t i = 0; i < 8 && x0 + i < 256; ++i) {
    const uint32_t value = ((low >> (7 - i)) & 1) | (((high >> (7 - i)) << 1) & 2);
    if (value && !p.sprite_line[x0 + i]) p.sprite_line[x0 + i] = uint8_t(flags | value);
  }
}

// Pixel x of the current visible line over its background palette index (0: transparent): the
// first opaque sprite in front of the background, or behind it where the background is
// transparent.
inline uint8_t compose_pixel(PpuDot& p, uint32_t mask, uint32_t x, uint32_t colour) {
  const uint32_t sprite = p.sprite_line[x];
  if (sprite && (mask & 0x10) && (x >= 8 || (mask & 0x04))) {
    if (!colour) {
      colour = sprite & 0x1F;
    } else {
      if ((sprite & kSpriteZero) && x != 255) ppu.status |= kSpriteZeroHit;
      if (!(sprite & kSpriteBehind)) colour = sprite & 0x1F;
    }
  }
  return uint8_t(ppu_pages.palette_page[colour] & ((mask & 1) ? 0x30 : 0x3F));
}

void draw_pixel(PpuDot& p, uint32_t x) {
  const uint32_t mask = ppu.mask;
  uint32_t colour = 0;
  if ((mask & 0x08) && (x >= 8 || (mask & 0x02))) {
    colour = uint32_t(p.shift_pixels >> (60 - 4 * p.fine_x)) & 0xF;
  }
  frame_buffer[p.line * kFrameRowBytes + x] = compose_pixel(p, mask, x, colour);
}

// Whether the 8 dots from d (= 8k + 1) of a visible line can run as one group: nothing in them
// but the tile's fetches and pixels (not the secondary OAM clear at 64, the evaluation at 65,
// the Y increment at 256 or the overflow flag).
bool whole_group(const PpuDot& p, uint32_t d) {
  return d <= 241 && d != 57 && d != 65 && (p.overflow_dot < d || p.overflow_dot >= d + 8);
}

// Dots d to d + 7 of a visible line at once, as the per-dot path would run them: the fetches in
// their order (each on the clock of its own dot, for the A12 watcher), then the eight pixels.
void render_group(PpuDot& p, uint32_t d) {
  const uint64_t start = p.clock;
  if (d >= 2) shift_background(p);
  fetch_background(p, d);  // reloads the shifters
  const uint64_t pixels = p.shift_pixels;
  for (uint32_t i = 2; i < 8; i += 2) {
    p.clock = start + i;
    fetch_background(p, d + i);
  }
  fetch_background(p, d + 7);
  p.clock = start;
  p.shift_pixels = pixels << 28;

  const uint32_t mask = ppu.mask;
  const uint32_t x0 = d - 1;
  const bool background = (mask & 0x08) && (x0 >= 8 || (mask & 0x02));
  const uint32_t window = background ? uint32_t(pixels >> (32 - 4 * p.fine_x)) : 0;
  uint8_t* out = frame_buffer + p.line * kFrameRowBytes + x0;
  for (uint32_t i = 0; i < 8; ++i)
    out[i] = compose_pixel(p, mask, x0 + i, (window >> (28 - 4 * i)) & 0xF);
}

// A dot of a visible or pre-render line with rendering enabled.
void render_dot(PpuDot& p, uint32_t d) {
  const bool visible = p.line < kVisibleLines;
  if (d == 0) return;
  if (d <= 256) {
    if (d >= 2) shift_background(p);
    fetch_background(p, d);
    if (d == 64) {
      std::memset(p.secondary_oam, 0xFF, sizeof p.secondary_oam);
      p.sprite_count = 0;
      p.overflow_dot = 0;
    } else if (d == 256) {
      ppu_dot_increment_y(p);
    }
    if (visible) {
      if (d == 65) evaluate_sprites(p);
      if (d == p.overflow_dot) ppu.status |= kOverflow;
      draw_pixel(p, d - 1);
    }
    return;
  }
  if (d <= 320) {
    ppu.oam_address = 0;
    const uint32_t phase = (d - 257) & 7;
    if (d == 257) {
      p.v = uint16_t((p.v & ~0x041F) | (p.t & 0x041F));
      std::memset(p.sprite_line, 0, sizeof p.sprite_line);
    }
    if (phase == 0) {
      ppu_dot_bus(p, 0x2000);
    } else if (phase == 4) {
      fetch_sprite(p, (d - 257) >> 3);
    }
    if (!visible && d >= 280 && d <= 304) p.v = uint16_t((p.v & ~0x7BE0) | (p.t & 0x7BE0));
    return;
  }
  if (d <= 336) {
    if (d >= 322) shift_background(p);
    fetch_background(p, d);
    return;
  }
  if (d == 337 || d == 339) {
    if (d == 337) {
      shift_background(p);
      fetch_background(p, d);  // loads the shifters and makes the first dummy fetch
    }
    ppu_dot_bus(p, 0x2000);
    // An odd frame skips the last dot of its pre-render line.
    if (d == 339 && !visible && p.odd_frame) p.dot = 340;
  }
}

// A dot of a visible or pre-render line with rendering disabled: the backdrop, or the palette
// entry v points at.
void idle_dot(PpuDot& p, uint32_t d) {
  if (d == 257) std::memset(p.sprite_line, 0, sizeof p.sprite_line);
  if (p.line >= kVisibleLines || d - 1 >= 256) return;
  const uint32_t colour = (p.v & 0x3F00) == 0x3F00 ? ppu_dot_palette_index(p.v) : 0;
  frame_buffer[p.line * kFrameRowBytes + d - 1] =
      uint8_t(ppu_pages.palette_page[colour] & ((ppu.mask & 1) ? 0x30 : 0x3F));
}

void end_picture(PpuDot& p) {
  p.frame_ready = true;
  if (ntsc_display.load(std::memory_order_relaxed) != 1) return;
  for (uint32_t y = 0; y < kVisibleLines; ++y) {
    if (y < kNtscTopLines || y >= kNtscBottomLine) {
      std::memset(frame_buffer + y * kFrameRowBytes, kBlankFill, kFrameRowBytes);
    }
  }
}

void next_line(PpuDot& p) {
  p.dot = 0;
  if (++p.line == kVisibleLines) {
    end_picture(p);
  } else if (p.line == kLinesPerFrame) {
    p.line = 0;
    p.odd_frame = !p.odd_frame;
    ++p.frame_count;
    p.suppress_vblank = false;
  }
}

}  // namespace

bool ppu_dot_rendering_active() {
  return rendering_enabled() && (ppu_dot.line < kVisibleLines || ppu_dot.line == kPpuPreRenderLine);
}

void ppu_dot_power() {
  PpuDot& p = ppu_dot;
  p = {};
  std::memset(p.secondary_oam, 0xFF, sizeof p.secondary_oam);
  ppu.ctrl = ppu.mask = ppu.status = 0;
  ppu.oam_address = 0;
  ppu.nmi_enable = ppu.background_enable = ppu.sprite_enable = 0;
  ppu.address_increment = 1;
  ppu.sprite_height_mask = 7;
}

bool ppu_dot_nmi_line() { return (ppu.status & ppu.ctrl & 0x80) != 0; }

void ppu_dot_run(uint32_t dots) {
  PpuDot& p = ppu_dot;
  while (dots != 0) {
    const uint32_t line = p.line;
    if (line >= kVisibleLines && line < kPpuPreRenderLine) {
      // Nothing happens in these lines but the vertical-blank flag: skip to the next event.
      const uint32_t here = line * kPpuDotsPerLine + p.dot;
      const uint32_t set = kVblankLine * kPpuDotsPerLine + 1;
      if (here == set) {
        if (!p.suppress_vblank) ppu.status |= kVblank;
      } else {
        const uint32_t target = here < set ? set : kPpuPreRenderLine * kPpuDotsPerLine;
        const uint32_t n = target - here < dots ? target - here : dots;
        p.line = uint16_t((here + n) / kPpuDotsPerLine);
        p.dot = uint16_t((here + n) % kPpuDotsPerLine);
        p.clock += n;
        dots -= n;
        continue;
      }
    } else {
      const uint32_t d = p.dot;
      if (line < kVisibleLines && dots >= 8 && (d & 7) == 1 && rendering_enabled() &&
          whole_group(p, d)) {
        render_group(p, d);
        p.clock += 8;
        p.dot = uint16_t(d + 8);
        dots -= 8;
        continue;
      }
      if (line == kPpuPreRenderLine && d == 1)
        ppu.status &= ~(kVblank | kSpriteZeroHit | kOverflow);
      if (rendering_enabled()) {
        render_dot(p, d);
      } else {
        idle_dot(p, d);
      }
    }
    ++p.clock;
    --dots;
    if (++p.dot == kPpuDotsPerLine) next_line(p);
  }
}
