// Mapper 91, HK-SF3: four 2 KB pattern registers at $6000-$6003 and two 8 KB program registers
// at $7000-$7FFB, all in the SRAM area; writes to $8000-$FFFF do nothing.
#include "cart/mappers/mappers.h"

namespace {

ChrPages hk_sf3_chr;

void hk_sf3_sync() {
  mapper_sync_prg();
  hk_sf3_chr.map();
}

}  // namespace

void hk_sf3_state(MapperStateVisit visit, void* user) {
  visit_board_state(visit, user, hk_sf3_chr);
}

void hk_sf3_init() {
  hk_sf3_chr.reset();
  mapper_set_write_handler(0x6000, hk_sf3_write);
}

void hk_sf3_write(uint32_t address, uint32_t value, MemHandler*) {
  const uint8_t v = uint8_t(value);
  if (address >= 0x6000 && address <= 0x6003) {
    hk_sf3_chr.set((address - 0x6000) * 2, 2, v);
  } else if (address >= 0x7000 && address <= 0x7FFB) {
    mapper_state.prg_bank[address & 1] = v;  // even address $8000, odd $A000
  } else {
    return;
  }
  hk_sf3_sync();
}
