// Mapper 32, Irem G-101: two 8 KB program registers (the first can serve $8000 or $C000), a
// mirroring/mode register and eight 1 KB pattern pages, each at one exact address.
#include "cart/mappers/mappers.h"

namespace {

ChrPages g101_chr;
uint8_t g101_prg_swap;  // bit 1: the $8FFF register selects the $C000 window

void g101_sync() {
  mapper_sync_prg();
  g101_chr.map();
}

}  // namespace

void irem_g101_state(MapperStateVisit visit, void* user) {
  visit_board_state(visit, user, g101_chr, g101_prg_swap);
}

// The pattern pages start on the first 8 KB of CHR ROM until the game writes them.
void irem_g101_init() {
  g101_prg_swap = 0;
  g101_chr.reset();
  g101_sync();
}

void irem_g101_write(uint32_t address, uint32_t value, MemHandler*) {
  const uint8_t v = uint8_t(value);
  if (address == 0x8FFF) {
    mapper_state.prg_bank[g101_prg_swap ? 2 : 0] = v & prg_mask_8k();
  } else if (address == 0x9FFF) {
    g101_prg_swap = v & 2;
    mapper_mirror(v & 1 ? Mirror::V : Mirror::H);
    return;
  } else if (address == 0xAFFF) {
    mapper_state.prg_bank[1] = v;
  } else if (address >= 0xBFF0 && address <= 0xBFF7) {
    g101_chr.set(address & 15, 1, v);
  } else {
    return;
  }
  g101_sync();
}
