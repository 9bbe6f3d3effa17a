// Mapper 68, Sunsoft #4: four 2 KB pattern registers, a mirroring register and a 16 KB program
// register, each at one exact address.
#include "cart/mappers/mappers.h"

namespace {

ChrPages sunsoft4_chr;
uint8_t sunsoft4_prg;  // 16 KB bank at $8000

constexpr MirrorCodes kSunsoft4Mirror = {Mirror::H, Mirror::V, Mirror::L, Mirror::S};

void sunsoft4_sync() {
  prg_16k_at(0x8000, sunsoft4_prg);
  mapper_sync_prg();
  sunsoft4_chr.map();
}

}  // namespace

void sunsoft4_state(MapperStateVisit visit, void* user) {
  visit_board_state(visit, user, sunsoft4_chr, sunsoft4_prg);
}

// The registers start on the set-up's windows: 16 KB bank 0 and the first 8 KB of CHR ROM.
void sunsoft4_init() {
  sunsoft4_prg = 0;
  sunsoft4_chr.reset();
  sunsoft4_sync();
}

void sunsoft4_write(uint32_t address, uint32_t value, MemHandler*) {
  const uint8_t v = uint8_t(value);
  switch (address) {
    case 0x8000:
    case 0x9000:
    case 0xA000:
    case 0xB000: sunsoft4_chr.set((address - 0x8000) >> 11, 2, v); break;
    case 0xE000: return mapper_mirror(kSunsoft4Mirror[v & 3]);
    case 0xF000: sunsoft4_prg = v; break;
    default: return;
  }
  sunsoft4_sync();
}
