// Multi-game cartridges: 100 in 1 (15), 72 in 1 (225) and 1200 in 1 (227). Each write picks a
// game's program banks and mirroring; 225 and 227 take everything from the address alone.
#include "cart/mappers/mappers.h"

namespace {

// 100 in 1 with bit 7 of a bank write set shows the upper 8 KB half of the 16 KB bank first: the
// two windows that received that bank exchange their numbers.
void exchange_halves(uint32_t first_window, uint8_t v) {
  if (!(v & 0x80)) return;
  uint8_t* bank = mapper_state.prg_bank + first_window;
  const uint8_t low = bank[0];
  bank[0] = bank[1];
  bank[1] = low;
}

uint8_t m227_mode_word;  // the last 32 KB-mode write's low two bits; kept across games

}  // namespace

void multicarts_state(MapperStateVisit visit, void* user) {
  visit_board_state(visit, user, m227_mode_word);
}

// Registers at $8000-$8003 exactly; b is an 8 KB bank (twice the 16 KB number) inside the image.
void multicart15_write(uint32_t address, uint32_t value, MemHandler*) {
  const uint8_t v = uint8_t(value);
  const uint8_t b = uint8_t(((v & 0x3F) * 2) & prg_mask_8k());
  uint8_t* bank = mapper_state.prg_bank;
  switch (address) {
    case 0x8000:  // 32 KB from b
      for (int i = 0; i < 4; ++i) bank[i] = uint8_t(b + i);
      exchange_halves(0, v);
      mapper_mirror(v & 0x40 ? Mirror::H : Mirror::V);
      break;
    case 0x8001:  // 16 KB at $C000
      bank[2] = b, bank[3] = uint8_t(b + 1);
      exchange_halves(2, v);
      break;
    case 0x8002:  // one 8 KB half in all four windows
      for (int i = 0; i < 4; ++i) bank[i] = uint8_t(b + (v >> 7));
      break;
    case 0x8003:  // 16 KB at $C000 with mirroring
      bank[2] = b, bank[3] = uint8_t(b + 1);
      exchange_halves(2, v);
      mapper_mirror(v & 0x40 ? Mirror::H : Mirror::V);
      break;
    default: return;
  }
  mapper_sync_prg();
}

// The address: bits 0-4 the 8 KB pattern bank, bit 7 a base h, bit 12 a 16 KB mode, bit 6 in it a
// bank from bits 7-11, bit 13 the mirroring.
void multicart225_write(uint32_t address, uint32_t, MemHandler*) {
  const uint32_t h = (address >> 7) & 1;
  uint8_t* bank = mapper_state.prg_bank;
  if (!(address & 0x1000)) {
    for (uint32_t i = 0; i < 4; ++i) bank[i] = uint8_t(h + i);
  } else {
    const uint32_t x = (address & 0x40) ? ((address >> 7) & 31) + 2 : h;
    bank[0] = bank[2] = uint8_t(x);
    bank[1] = bank[3] = uint8_t(x + 1);
  }
  mapper_sync_prg();
  mapper_map_chr(0, 8, address & 31);
  mapper_mirror(address & 0x2000 ? Mirror::V : Mirror::H);
}

void multicart227_init() { multicart227_write(0x8000, 0, nullptr); }

// The low address byte l: bit 0 a 32 KB mode, bit 1 the mirroring, bits 3-6 the bank x. In 16 KB
// mode the half of the 32 KB bank follows the last 32 KB-mode write.
void multicart227_write(uint32_t address, uint32_t, MemHandler*) {
  const uint8_t l = uint8_t(address);
  const uint32_t x = (l >> 3) & 15;
  mapper_mirror(l & 2 ? Mirror::V : Mirror::H);
  if (l & 1) {
    m227_mode_word = l & 3;
    prg_32k(x);
  } else {
    const uint32_t half = m227_mode_word ? 2 : 0;
    uint8_t* bank = mapper_state.prg_bank;
    bank[0] = bank[2] = uint8_t(4 * x + half);
    bank[1] = bank[3] = uint8_t(4 * x + half + 1);
  }
  mapper_sync_prg();
}
