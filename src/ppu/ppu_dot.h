// The dot-clocked picture processor of the hardware profile: 341 dots × 262 lines a frame, the
// background fetch pipeline and shifters, sprite evaluation and fetches for the next line, and
// the register file with its scroll registers, read buffer and decaying I/O latch. It shares
// PpuState `ppu` (ctrl, mask, status, oam, oam_address) and the page table with the classic PPU,
// so every mapper, the debugger and save states see the same state.
#pragma once

#include <cstdint>

#include "cart/mapper.h"

struct PpuDot {
  uint16_t v, t;         // current and temporary VRAM address (15 bits)
  uint8_t fine_x, w;     // fine horizontal scroll; write toggle of $2005/$2006
  uint16_t dot, line;    // the next dot to run: 0-340 of line 0-261 (261: the pre-render line)
  bool odd_frame;        // toggled each frame; an odd frame with rendering on is one dot short
  bool frame_ready;      // set when line 239 is complete; the driver clears it
  bool suppress_vblank;  // a $2002 read just before the flag is set keeps it clear this frame
  uint8_t read_buffer;   // $2007 read buffer
  uint8_t io_latch;      // open bus of the PPU registers
  uint32_t frame_count;  // frames since power-on; the latch decays in frames
  uint32_t latch_refreshed[8];  // frame_count when each latch bit was last driven
  uint64_t clock;               // dots since power-on

  // Background: latches of the tile being fetched, and the shifters. The four 16-bit shifters
  // of the console (two pattern planes, two attribute bits) are kept as one word of sixteen
  // 4-bit palette indices, the top one drawn next before fine X; tile_pixels holds the fetched
  // tile's eight, ready for the reload.
  uint8_t nametable_byte, attribute_bits, pattern_low, pattern_high;
  uint32_t tile_pixels;
  uint64_t shift_pixels;

  // Sprites: secondary OAM filled by the evaluation of the current line for the next one, and
  // the pixels the fetches of dots 257-320 produced for the line being drawn.
  uint8_t secondary_oam[32];
  uint8_t sprite_count;      // entries the evaluation found (0-8)
  bool sprite_zero_found;    // the first entry evaluated is in slot 0
  uint16_t overflow_dot;     // dot of this line at which the overflow flag is set, 0: none
  uint8_t sprite_line[256];  // 0: none; else palette index $10-$1F | $20 behind | $40 sprite 0

  // Address line A12 as the MMC3 board sees it.
  bool a12_high;
  uint64_t a12_low_since;  // clock when A12 last fell
};
extern PpuDot ppu_dot;

// Power-on and reset state of the hardware profile (sprite memory is left as it is).
void ppu_dot_power();
// Advances `dots` dots.
void ppu_dot_run(uint32_t dots);
// The NMI output: vertical-blank flag and $2000 bit 7. The CPU detects its edge; a $2002 read
// clears the flag, so a CPU that samples the line after the bus access of each of its cycles
// sees no NMI when the read comes on the dot the flag is set or the one after.
bool ppu_dot_nmi_line();
// CPU access to $2000-$3FFF (mirrored every 8 bytes), at the current dot.
uint8_t ppu_dot_read(uint16_t address);
void ppu_dot_write(uint16_t address, uint8_t v);
// One byte of sprite DMA: a $2004 write.
void ppu_dot_oam_dma_write(uint8_t v);
// When set: called at each rise of address line A12 that follows more than 9 dots of A12 low,
// from rendering fetches and from $2006/$2007 accesses.
extern void (*ppu_dot_a12_rise)();

// Shared by the renderer and the register file.
inline constexpr uint32_t kPpuDotsPerLine = 341;
inline constexpr uint32_t kPpuPreRenderLine = 261;
// A12 must have been low for more than 3 CPU cycles for a rise to count: the 9 dots from the
// dummy name-table fetches at 337 to the first pattern fetch of the next line do not.
inline constexpr uint32_t kPpuA12FilterDots = 10;

// True while the PPU fetches: rendering enabled on a visible or the pre-render line.
bool ppu_dot_rendering_active();

// The palette byte of a $3F00-$3FFF address: 32 bytes, $3F10/$3F14/$3F18/$3F1C on $3F00-$3F0C.
inline uint32_t ppu_dot_palette_index(uint32_t address) {
  const uint32_t a = address & 0x1F;
  return (a & 0x13) == 0x10 ? a & 0x0F : a;
}

// The fetch pipeline's steps of v: coarse X with a wrap into the next name table across, and
// fine Y then coarse Y with a wrap into the name table below after row 29.
inline void ppu_dot_increment_x(PpuDot& p) {
  p.v = (p.v & 0x1F) == 31 ? uint16_t((p.v & ~0x1F) ^ 0x0400) : uint16_t(p.v + 1);
}
inline void ppu_dot_increment_y(PpuDot& p) {
  if ((p.v & 0x7000) != 0x7000) {
    p.v = uint16_t(p.v + 0x1000);
    return;
  }
  uint32_t y = (p.v >> 5) & 31;
  uint32_t v = p.v & ~0x7000u;
  if (y == 29) v ^= 0x0800;
  y = (y == 29 || y == 31) ? 0 : y + 1;
  p.v = uint16_t((v & ~0x03E0u) | (y << 5));
}

// The PPU address bus as the mapper's A12 watcher sees it.
inline void ppu_dot_bus(PpuDot& p, uint32_t address) {
  if (!(address & 0x1000)) {
    if (p.a12_high) {
      p.a12_high = false;
      p.a12_low_since = p.clock;
    }
  } else if (!p.a12_high) {
    p.a12_high = true;
    if (ppu_dot_a12_rise && p.clock - p.a12_low_since >= kPpuA12FilterDots) ppu_dot_a12_rise();
  }
}
