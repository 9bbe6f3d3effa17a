// The picture processor as the CPU sees it: the registers $2000-$2007 with their latches, sprite
// memory and its DMA port. The renderer reads this state once a line.
#pragma once

#include <cstdint>

#include "cpu/cpu.h"
#include "machine/io_ports.h"  // the joypads, which the classic register window serves

struct PpuState {
  uint8_t status;              // $2002: bit 7 vertical blank, bit 6 sprite-0 hit
  uint8_t ctrl;                // $2000 as kept (bit 1 frozen during the visible lines)
  uint8_t mask;                // $2001 as written
  uint8_t write_toggle;        // shared by $2005 and $2006: 1 when the next write is the second
  uint8_t dummy_read_pending;  // the next $2007 read returns $FF and does nothing else
  uint16_t vram_address;       // masked to 14 bits at the start of each $2007 access only
  uint8_t address_increment;   // 1 or 32
  uint8_t oam_address;         // $2003
  uint8_t oam[256];            // 64 sprites of Y, tile, attributes, X
  uint8_t coarse_x;            // first $2005 write >> 3
  uint8_t fine_x;              // first $2005 write & 7
  uint8_t scroll_y;            // second $2005 write, taken only outside the visible lines
  uint8_t sprite_height_mask;  // 7 or 15
  uint8_t nmi_enable;          // 0 or $80
  uint8_t background_enable;   // 0 or $08
  uint8_t sprite_enable;       // 0 or $10
  uint16_t scanline;           // 0-263, advanced by the frame loop
};
extern PpuState ppu;

// The handlers of the $2000-$4017 entries of the CPU's read and write tables.
uint32_t ppu_read_register(uint32_t address, MemHandler* entry);
void ppu_write_register(uint32_t address, uint32_t value, MemHandler* entry);
