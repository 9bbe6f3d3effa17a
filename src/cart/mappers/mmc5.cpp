// Mapper 5, Nintendo MMC5, as far as this system runs it: the CHR mode, three switchable 8 KB
// program windows and the CHR bank registers, all in $4100-$5FFF. $E000 keeps the last bank and
// $8000-$FFFF ignores writes.
#include "cart/mappers/mappers.h"

namespace {

uint8_t mmc5_chr_mode;  // 0: 8 KB, 1: 4 KB, 2: 2 KB, 3: 1 KB pages
ChrPages mmc5_chr;

void mmc5_sync() {
  mapper_sync_prg();
  mmc5_chr.map();
}

// $5120-$5127 in the current CHR mode: every register in 1 KB mode, the odd ones in 2 KB mode,
// $5123 and $5127 in 4 KB mode, $5127 alone in 8 KB mode. Returns false for a register the mode
// does not use.
bool mmc5_chr_register(uint32_t r, uint8_t v) {
  const uint32_t size = 8u >> mmc5_chr_mode;  // pages per register
  if ((r + 1) % size != 0) return false;
  mmc5_chr.set(r + 1 - size, size, v);
  return true;
}

}  // namespace

void mmc5_state(MapperStateVisit visit, void* user) {
  visit_board_state(visit, user, mmc5_chr_mode, mmc5_chr);
}

void mmc5_init() {
  mmc5_chr_mode = 0;
  // The pattern pages start on the first 8 KB of CHR ROM until the game chooses.
  mmc5_chr.reset();
  mmc5_sync();
  mapper_set_write_handler(0x4100, mmc5_write);
}

void mmc5_write(uint32_t address, uint32_t value, MemHandler*) {
  const uint8_t v = uint8_t(value);
  if (address == 0x5103) {
    mmc5_chr_mode = v & 3;
    return;
  }
  if (address >= 0x5114 && address <= 0x5116) {
    if (!(v & 0x80)) return;
    mapper_state.prg_bank[address - 0x5114] = uint8_t(v * 2);
  } else if (address >= 0x5120 && address <= 0x5127) {
    if (!mmc5_chr_register(address - 0x5120, v)) return;
  } else {
    return;
  }
  mmc5_sync();
}
