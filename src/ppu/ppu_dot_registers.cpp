// The register file of the dot-clocked PPU: $2000-$2007 mirrored through $3FFF, the scroll
// registers v, t, x and w, the $2007 read buffer, and the I/O latch that answers reads of the
// write-only registers and of the undriven bits. Each latch bit decays to 0 when nothing has
// driven it for about 600 ms (36 frames). A $2006 write reaches v at once (the console takes a
// few dots), and the writes of the first frame after power-on are not ignored as the console's
// are.
#include "cart/cartridge.h"
#include "ppu/ppu.h"
#include "ppu/ppu_dot.h"

namespace {

constexpr uint32_t kLatchDecayFrames = 36;
constexpr uint32_t kPaletteStart = 0x3F00;

void refresh_latch(PpuDot& p, uint8_t bits, uint8_t value) {
  p.io_latch = uint8_t((p.io_latch & ~bits) | (value & bits));
  for (uint32_t b = 0; b < 8; ++b) {
    if (bits & (1u << b)) p.latch_refreshed[b] = p.frame_count;
  }
}

void decay_latch(PpuDot& p) {
  for (uint32_t b = 0; b < 8; ++b) {
    if (p.frame_count - p.latch_refreshed[b] >= kLatchDecayFrames) p.io_latch &= ~(1u << b);
  }
}

// Name tables appear again at $3000-$3EFF.
uint8_t& memory_byte(uint32_t address) {
  if (address >= 0x3000) address -= 0x1000;
  return ppu_page(address)[address & 0x3FF];
}

// After a $2007 access: the latching mapper sees the address, and v steps on. While the PPU
// renders, the access instead makes the coarse X and the Y increment of the fetch pipeline.
void finish_data_access(PpuDot& p, uint32_t address) {
  if (MapperLatchHook hook = mapper_state.mapper_ppu_latch_hook) {
    uint16_t a = uint16_t(address);
    hook(&a);
  }
  if (ppu_dot_rendering_active()) {
    ppu_dot_increment_x(p);
    ppu_dot_increment_y(p);
    return;
  }
  ppu_dot_bus(p, address);
  p.v = uint16_t((p.v + ((ppu.ctrl & 0x04) ? 32 : 1)) & 0x7FFF);
  ppu_dot_bus(p, p.v);
}

// $2002: the flags in bits 7-5 over the latch. A read on the dot before the vertical-blank flag
// would be set finds it clear and keeps it from being set this frame.
uint8_t read_status(PpuDot& p) {
  if (p.line == 241 && p.dot == 1) p.suppress_vblank = true;
  refresh_latch(p, 0xE0, ppu.status);
  ppu.status &= 0x7F;
  p.w = 0;
  return p.io_latch;
}

// $2004: the attribute byte has no bits 2-4. During dots 1-64 of a rendered line the PPU is
// clearing secondary OAM and the read gives $FF; at other dots of rendering it gives the byte at
// oam_address, not the byte the evaluation or the sprite fetches are reading.
uint8_t read_oam(PpuDot& p) {
  uint8_t value = ppu.oam[ppu.oam_address];
  if ((ppu.oam_address & 3) == 2) value &= 0xE3;
  if (ppu_dot_rendering_active() && p.line < 240 && p.dot >= 1 && p.dot <= 64) value = 0xFF;
  refresh_latch(p, 0xFF, value);
  return value;
}

// $2007: palette bytes come at once (bits 7-6 from the latch) while the buffer takes the name
// table byte underneath; everything else comes through the buffer.
uint8_t read_data(PpuDot& p) {
  const uint32_t address = p.v & 0x3FFF;
  if (address >= kPaletteStart) {
    refresh_latch(p, 0x3F, ppu_pages.palette_page[ppu_dot_palette_index(address)]);
    p.read_buffer = memory_byte(address - 0x1000);
  } else {
    refresh_latch(p, 0xFF, p.read_buffer);
    p.read_buffer = memory_byte(address);
  }
  finish_data_access(p, address);
  return p.io_latch;
}

void write_data(PpuDot& p, uint8_t v) {
  const uint32_t address = p.v & 0x3FFF;
  if (address >= kPaletteStart) {
    ppu_pages.palette_page[ppu_dot_palette_index(address)] = v & 0x3F;
  } else if (address >= 0x2000 || cartridge.chr_rom_size == 0) {
    memory_byte(address) = v;
  }
  finish_data_access(p, address);
}

}  // namespace

uint8_t ppu_dot_read(uint16_t address) {
  PpuDot& p = ppu_dot;
  decay_latch(p);
  switch (address & 7) {
    case 2: return read_status(p);
    case 4: return read_oam(p);
    case 7: return read_data(p);
    default: return p.io_latch;
  }
}

void ppu_dot_write(uint16_t address, uint8_t v) {
  PpuDot& p = ppu_dot;
  refresh_latch(p, 0xFF, v);
  switch (address & 7) {
    case 0:
      ppu.ctrl = v;
      ppu.nmi_enable = v & 0x80;
      ppu.sprite_height_mask = (v & 0x20) ? 15 : 7;
      ppu.address_increment = (v & 0x04) ? 32 : 1;
      p.t = uint16_t((p.t & ~0x0C00) | ((v & 3) << 10));
      return;
    case 1:
      ppu.mask = v;
      ppu.background_enable = v & 0x08;
      ppu.sprite_enable = v & 0x10;
      return;
    case 2: return;
    case 3: ppu.oam_address = v; return;
    case 4:
      // While rendering the PPU owns OAM: the write is lost and only the entry index steps.
      if (ppu_dot_rendering_active()) {
        ppu.oam_address = uint8_t(ppu.oam_address + 4);
      } else {
        ppu.oam[ppu.oam_address++] = v;
      }
      return;
    case 5:
      if (p.w == 0) {
        p.t = uint16_t((p.t & ~0x1F) | (v >> 3));
        p.fine_x = v & 7;
      } else {
        p.t = uint16_t((p.t & ~0x73E0) | ((v & 7) << 12) | ((v & 0xF8) << 2));
      }
      p.w ^= 1;
      return;
    case 6:
      if (p.w == 0) {
        p.t = uint16_t((p.t & 0x00FF) | ((v & 0x3F) << 8));
      } else {
        p.t = uint16_t((p.t & 0xFF00) | v);
        p.v = p.t;
        if (!ppu_dot_rendering_active()) ppu_dot_bus(p, p.v);
      }
      p.w ^= 1;
      return;
    default: write_data(p, v); return;
  }
}

void ppu_dot_oam_dma_write(uint8_t v) { ppu_dot_write(0x2004, v); }
