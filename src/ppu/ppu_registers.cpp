// The register window $2000-$4017 of the classic profile: PPU registers and sprite DMA; the
// joypad ports and the APU registers are handed on to the shared I/O ports.
#include "cart/mapper.h"
#include "machine/io_ports.h"
#include "machine/machine.h"
#include "ppu/ppu.h"
#include "shell/host_cpu.h"

PpuState ppu = {};

namespace {

constexpr uint32_t kPaletteColour0Slots[8] = {0, 4, 8, 12, 16, 20, 24, 28};

// Masks the address to 14 bits and lets a latching mapper see it before the access.
void begin_vram_access() {
  ppu.vram_address &= 0x3FFF;
  if (mapper_state.mapper_ppu_latch_hook) mapper_state.mapper_ppu_latch_hook(&ppu.vram_address);
}

// $2002: vertical blank is cleared by the read, sprite-0 hit is not.
uint8_t read_status() {
  const uint8_t value = ppu.status;
  ppu.status &= 0x7F;
  ppu.write_toggle = 0;
  return value;
}

// $2007: no read buffer; the first read after a $2006 write is a dummy $FF.
uint8_t read_data() {
  if (ppu.dummy_read_pending) {
    ppu.dummy_read_pending = 0;
    return 0xFF;
  }
  begin_vram_access();
  const uint8_t value = ppu_page(ppu.vram_address)[ppu.vram_address & 0x3FF];
  ppu.vram_address = uint16_t(ppu.vram_address + ppu.address_increment);
  return value;
}

// $2000: the name-table bit 1 (vertical) cannot change during the visible lines.
void write_ctrl(uint8_t v) {
  ppu.ctrl = ppu.scanline <= 239 ? uint8_t((v & ~0x02) | (ppu.ctrl & 0x02)) : v;
  ppu.sprite_height_mask = (v & 0x20) ? 15 : 7;
  ppu.address_increment = (v & 0x04) ? 32 : 1;
  ppu.nmi_enable = v & 0x80;
}

// $2001: only the two enables take effect.
void write_mask(uint8_t v) {
  ppu.mask = v;
  ppu.background_enable = v & 0x08;
  ppu.sprite_enable = v & 0x10;
}

// $2005: horizontal scroll at any time, vertical scroll only outside the visible lines.
void write_scroll(uint8_t v) {
  if (ppu.write_toggle == 0) {
    ppu.coarse_x = v >> 3;
    ppu.fine_x = v & 7;
    ppu.write_toggle = 1;
    return;
  }
  const uint8_t y = v > 240 ? uint8_t(240 - v) : v;
  if (ppu.scanline >= 240) ppu.scroll_y = y;
  ppu.write_toggle = 0;
}

// $2006: the VRAM address, high byte first; the next $2007 read is a dummy.
void write_address(uint8_t v) {
  if (ppu.write_toggle == 0) {
    ppu.vram_address = uint16_t((v << 8) | (ppu.vram_address & 0xFF));
    ppu.write_toggle = 1;
  } else {
    ppu.vram_address = uint16_t((ppu.vram_address & 0xFF00) | v);
    ppu.write_toggle = 0;
  }
  ppu.dummy_read_pending = 1;
}

// $2007: the two backdrop addresses write all eight colour-0 slots; the other colour-0 slots
// ignore writes, so they always hold the backdrop.
void write_data(uint8_t v) {
  begin_vram_access();
  const uint16_t a = ppu.vram_address;
  if (a == 0x3F00 || a == 0x3F10) {
    for (uint32_t slot : kPaletteColour0Slots) ppu_pages.palette_page[slot] = v;
  } else if (!(a >= 0x3F00 && a <= 0x3F1F && (a & 3) == 0)) {
    ppu_page(a)[a & 0x3FF] = v;
  }
  ppu.vram_address = uint16_t(ppu.vram_address + ppu.address_increment);
  ppu.dummy_read_pending = 0;
}

// $4014: 256 bytes of flat memory (not through the handlers) into sprite memory.
void write_sprite_dma(uint8_t v) {
  block_copy(ppu.oam, shadow_context->memory + uint32_t(v) * 0x100, sizeof ppu.oam);
}

}  // namespace

uint32_t ppu_read_register(uint32_t address, MemHandler*) {
  switch (address) {
    case 0x2002: return read_status();
    case 0x2007: return read_data();
    case 0x4015:
    case 0x4016:
    case 0x4017: return io_read(address);
    default: return shadow_context->memory[address & 0xFFFF];
  }
}

void ppu_write_register(uint32_t address, uint32_t value, MemHandler*) {
  const uint8_t v = uint8_t(value);
  if (address >= 0x2008 && address < 0x4000) return;  // the mirrors are not decoded
  switch (address) {
    case 0x2000: write_ctrl(v); return;
    case 0x2001: write_mask(v); return;
    case 0x2003: ppu.oam_address = v; return;
    case 0x2004: ppu.oam[ppu.oam_address] = v; return;
    case 0x2005: write_scroll(v); return;
    case 0x2006: write_address(v); return;
    case 0x2007: write_data(v); return;
    case kSpriteDmaPort: write_sprite_dma(v); return;
    default: io_write(address, v); return;
  }
}
