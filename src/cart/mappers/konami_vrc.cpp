// Konami VRC boards: VRC4 "2a" (21), "1b" (22) and "1a" (23), and VRC6 (24). All have two 8 KB
// (or one 16 KB) switchable program windows and eight 1 KB pattern pages; 21 and 23 load each
// pattern bank from two 4-bit writes, 21 and 24 count scanlines up to an interrupt.
#include "cart/mappers/mappers.h"

namespace {

ChrPages vrc_chr;
uint8_t vrc_irq_counter;  // counts up, interrupts on the wrap from 255
uint8_t vrc_irq_enabled;

// A pattern bank built from a low and a high nibble. The pair counts writes, not registers: any
// two writes complete it, and the second one's address says which page receives it.
struct NibblePair {
  uint8_t value;
  uint8_t writes;

  void low(uint8_t v) { value = uint8_t((value & 0xF0) | (v & 0x0F)); }
  void high(uint8_t v) { value = uint8_t((value & 0x0F) | v << 4); }
  // Counts a write; true when it completes a pair, with the value masked to the CHR ROM.
  bool complete() {
    if (++writes < 2) return false;
    writes = 0;
    value &= uint8_t(cartridge.chr_rom_size * 8 - 1);
    return true;
  }
};
NibblePair vrc4_2a_pair;
NibblePair vrc4_1a_pair;
uint8_t vrc4_2a_prg_swap;  // bit 1: $8000 writes go to the $C000 window

// The pattern page of a register address $B000-$E00F: two pages per 4 KB range, the one of the
// pair by the address's low nibble (-1 for no page).
using PageByNibble = int8_t[16];
constexpr PageByNibble kVrc4_2aPage = {0, 1, 0, 1, 1, -1, 1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
constexpr PageByNibble kVrc4_1aPage = {0, 0, 1, 1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
constexpr PageByNibble kVrc4_1bPage = {0,  1,  -1, -1, -1, -1, -1, -1,
                                       -1, -1, -1, -1, -1, -1, -1, -1};

int vrc_page(uint32_t address, const PageByNibble& by_nibble) {
  if (address < 0xB000 || address > 0xEFFF || (address & 0x0FF0)) return -1;
  const int half = by_nibble[address & 15];
  return half < 0 ? -1 : int((address >> 12) - 0xB) * 2 + half;
}

constexpr MirrorCodes kVrc4_2aMirror = {Mirror::V, Mirror::H, Mirror::L, Mirror::S};
constexpr MirrorCodes kVrc4_1Mirror = {Mirror::V, Mirror::H, Mirror::S, Mirror::L};
constexpr MirrorCodes kVrc6Mirror = {Mirror::H, Mirror::V, Mirror::L, Mirror::S};

void vrc_sync() {
  mapper_sync_prg();
  vrc_chr.map();
}

void vrc_set_page(int page, uint8_t bank) {
  if (page < 0) return;
  vrc_chr.set(uint32_t(page), 1, bank);
  vrc_sync();
}

void vrc_irq_scanline() {
  if (!vrc_irq_enabled) return;
  if (++vrc_irq_counter == 0) cpu_irq();
}

// The pattern pages start on the first 8 KB of CHR ROM until the game writes them.
void vrc_start_chr() {
  vrc_chr.reset();
  vrc_sync();
}

void vrc_start_irq() {
  vrc_irq_counter = 0;
  vrc_irq_enabled = 0;
  mapper_state.mapper_scanline_hook = vrc_irq_scanline;
}

}  // namespace

void konami_vrc_state(MapperStateVisit visit, void* user) {
  visit_board_state(visit, user, vrc_chr, vrc_irq_counter, vrc_irq_enabled, vrc4_2a_pair,
                    vrc4_1a_pair, vrc4_2a_prg_swap);
}

void vrc4_2a_init() {
  vrc4_2a_pair = {};
  vrc4_2a_prg_swap = 0;
  vrc_start_chr();
  vrc_start_irq();
}

void vrc4_2a_write(uint32_t address, uint32_t value, MemHandler*) {
  const uint8_t v = uint8_t(value);
  uint8_t* bank = mapper_state.prg_bank;
  switch (address) {
    case 0x8000: bank[vrc4_2a_prg_swap ? 2 : 0] = v & prg_mask_8k(); return vrc_sync();
    case 0xA000: bank[1] = v & prg_mask_8k(); return vrc_sync();
    case 0x9000: return mapper_mirror(kVrc4_2aMirror[v & 3]);
    case 0x9002: vrc4_2a_prg_swap = v & 2; return;
    case 0x9003: return;
    case 0xF000:
    case 0xF001: vrc_irq_counter = v; return;
    case 0xF002: vrc_irq_enabled |= v & 1; return;  // only the set-up disables
    case 0xF003: vrc_irq_counter = 0; return;
    default: break;
  }
  if (address > 0xE006) return;
  switch (address & 15) {
    case 0:
    case 1:
    case 4: vrc4_2a_pair.low(v); break;
    case 2:
    case 3:
    case 6: vrc4_2a_pair.high(v); break;
    default: break;
  }
  if (vrc4_2a_pair.complete()) vrc_set_page(vrc_page(address, kVrc4_2aPage), vrc4_2a_pair.value);
}

void vrc4_1b_init() { vrc_chr.reset(); }

void vrc4_1b_write(uint32_t address, uint32_t value, MemHandler*) {
  const uint8_t v = uint8_t(value);
  switch (address) {
    case 0x8000: mapper_state.prg_bank[0] = v; return vrc_sync();
    case 0xA000: mapper_state.prg_bank[1] = v; return vrc_sync();
    case 0x9000: return mapper_mirror(kVrc4_1Mirror[v & 3]);
    default: return vrc_set_page(vrc_page(address, kVrc4_1bPage), v >> 1);
  }
}

void vrc4_1a_init() { vrc_start_chr(); }

void vrc4_1a_write(uint32_t address, uint32_t value, MemHandler*) {
  const uint8_t v = uint8_t(value);
  switch (address) {
    case 0x8000: mapper_state.prg_bank[0] = v & prg_mask_8k(); return vrc_sync();
    case 0xA000: mapper_state.prg_bank[1] = v & prg_mask_8k(); return vrc_sync();
    case 0x9000: return mapper_mirror(kVrc4_1Mirror[v & 3]);
    default: break;
  }
  if (address >= 0xE004) return;
  if (address & 1) {
    vrc4_1a_pair.high(v);
  } else {
    vrc4_1a_pair.low(v);
  }
  if (vrc4_1a_pair.complete()) vrc_set_page(vrc_page(address, kVrc4_1aPage), vrc4_1a_pair.value);
}

void vrc6_init() {
  vrc_start_chr();
  vrc_start_irq();
}

void vrc6_write(uint32_t address, uint32_t value, MemHandler*) {
  const uint8_t v = uint8_t(value);
  switch (address) {
    case 0x8000:
      prg_16k_at(0x8000, mapper_reduce_bank(v & 0x7F, cartridge.prg_rom_size));
      return vrc_sync();
    case 0xC000: mapper_state.prg_bank[2] = v; return vrc_sync();
    case 0xB003: return mapper_mirror(kVrc6Mirror[(v >> 2) & 3]);
    case 0xD000:
    case 0xD001:
    case 0xD002:
    case 0xD003: return vrc_set_page(int(address - 0xD000), v);
    case 0xE000:
    case 0xE001:
    case 0xE002:
    case 0xE003: return vrc_set_page(int(address - 0xE000) + 4, v);
    case 0xF000: vrc_irq_counter = v; return;
    case 0xF001: vrc_irq_enabled = v & 1; return;
    case 0xF002: vrc_irq_counter = 0; return;
    default: return;
  }
}
