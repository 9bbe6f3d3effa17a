// Mapper 33, Taito TC0190/TC0350: two 8 KB program registers, two 2 KB and four 1 KB pattern
// registers, each at one exact address.
#include "cart/mappers/mappers.h"

namespace {

ChrPages tc0190_chr;

void tc0190_sync() {
  mapper_sync_prg();
  tc0190_chr.map();
}

}  // namespace

void taito_tc0190_state(MapperStateVisit visit, void* user) {
  visit_board_state(visit, user, tc0190_chr);
}

// The pattern pages start on the first 8 KB of CHR ROM until the game writes them.
void taito_tc0190_init() {
  tc0190_chr.reset();
  tc0190_sync();
}

void taito_tc0190_write(uint32_t address, uint32_t value, MemHandler*) {
  const uint8_t v = uint8_t(value);
  switch (address) {
    case 0x8000:
    case 0x8001: mapper_state.prg_bank[address - 0x8000] = v & prg_mask_8k(); break;
    case 0x8002: tc0190_chr.set(0, 2, v); break;
    case 0x8003: tc0190_chr.set(2, 2, v); break;
    case 0xA000:
    case 0xA001:
    case 0xA002:
    case 0xA003: tc0190_chr.set(address - 0xA000 + 4, 1, v); break;
    default: return;
  }
  tc0190_sync();
}
