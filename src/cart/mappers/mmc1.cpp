// Mapper 1, Nintendo MMC1: four 5-bit registers loaded one bit at a time through a serial port at
// $8000-$FFFF. Every completed load rebuilds the name tables, the program windows and the pattern
// pages from all four registers.
#include "cart/mappers/mappers.h"

namespace {

enum Mmc1Register { kControl, kChr0, kChr1, kPrg };

uint8_t mmc1_reg[4];       // by (address >> 13) & 3: control, CHR 0, CHR 1, PRG
uint8_t mmc1_shift;        // bits collected so far, the first in bit 0
uint8_t mmc1_shift_count;  // 0-4
uint8_t mmc1_prg_base;     // 0 or 32: the 256 KB half of a 512 KB image

constexpr MirrorCodes kMmc1Mirror = {Mirror::L, Mirror::S, Mirror::V, Mirror::H};
constexpr uint8_t kPrgSize512k = 32;  // prg_rom_size of a 512 KB image

void mmc1_sync() {
  const uint8_t control = mmc1_reg[kControl];
  mapper_mirror(kMmc1Mirror[control & 3]);

  // Register 1 bit 4 picks the 256 KB half on 512 KB boards (SUROM).
  mmc1_prg_base = cartridge.prg_rom_size == kPrgSize512k ? (mmc1_reg[kChr0] & 0x10) * 2 : 0;
  const uint32_t p = mmc1_reg[kPrg] & 15;
  if (!(control & 0x08)) {
    prg_32k(p + mmc1_prg_base / 4);
  } else if (control & 0x04) {  // switchable $8000; the image's last 16 KB stays at $C000
    prg_16k_at(0x8000, p + mmc1_prg_base / 2);
    prg_16k_at(0xC000, prg_last_16k());
  } else {  // the first 16 KB stays at $8000; switchable $C000
    prg_16k_at(0x8000, 0);
    prg_16k_at(0xC000, p + mmc1_prg_base / 2);
  }
  mapper_sync_prg();

  // The masks keep the 4 KB offsets inside the CHR ROM; 8 KB mode uses half the 4 KB mask.
  const uint32_t c = cartridge.chr_rom_size;
  if (!c) return;
  if (control & 0x10) {
    const uint32_t m = c * 8192 - 4096;
    mapper_map_chr(0, 4, ((mmc1_reg[kChr0] * 4096u) & m) / 4096);
    mapper_map_chr(4, 4, ((mmc1_reg[kChr1] * 4096u) & m) / 4096);
  } else {
    const uint32_t m = c * 4096 - 4096;
    const uint32_t first = ((mmc1_reg[kChr0] * 4096u) & m) / 4096;
    mapper_map_chr(0, 4, first);
    mapper_map_chr(4, 4, first + 1);
  }
}

}  // namespace

void mmc1_state(MapperStateVisit visit, void* user) {
  visit_board_state(visit, user, mmc1_reg, mmc1_shift, mmc1_shift_count, mmc1_prg_base);
}

void mmc1_init() {
  mmc1_reg[kControl] = 0x1F;
  mmc1_reg[kPrg] = 0;
  mmc1_shift = 0;
  mmc1_shift_count = 0;
  mmc1_prg_base = 0;
}

// A write with bit 7 set abandons a load in progress and sets PRG mode 3 (bits 2-3 of control);
// the selected register is stored again with its current value, so every window is rebuilt.
void mmc1_write(uint32_t address, uint32_t value, MemHandler*) {
  const int index = (address >> 13) & 3;
  uint8_t stored;
  if (value & 0x80) {
    mmc1_reg[kControl] |= 0x0C;
    stored = mmc1_reg[index];
  } else {
    mmc1_shift |= uint8_t((value & 1) << mmc1_shift_count);
    if (++mmc1_shift_count < 5) return;
    stored = mmc1_shift;
  }
  mmc1_shift = 0;
  mmc1_shift_count = 0;
  mmc1_reg[index] = stored;
  mmc1_sync();
}
