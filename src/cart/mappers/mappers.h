// What the mapper families share: their entry points for the set-up table, the mirroring codes
// their registers use, and the bank conventions ("16 KB at $8000 = x", "32 KB = x", one 1 KB bank
// number per pattern page) written once so that no mapper repeats the arithmetic.
#pragma once

#include <cstdint>

#include "cart/cartridge.h"
#include "cart/mapper.h"

// Name-table set-ups by the letters the boards' mirroring codes use.
enum class Mirror : uint8_t { V, H, L, S };  // vertical, horizontal, single low, single high
using MirrorCodes = Mirror[4];

inline void mapper_mirror(Mirror m) {
  switch (m) {
    case Mirror::V: mapper_mirror_vertical(); break;
    case Mirror::H: mapper_mirror_horizontal(); break;
    case Mirror::L: mapper_mirror_single_low(); break;
    case Mirror::S: mapper_mirror_single_high(); break;
  }
}

// 2n - 1 in 8 bits: the mask several boards put on their 8 KB bank numbers.
inline uint8_t prg_mask_8k() { return uint8_t(cartridge.prg_rom_size * 2 - 1); }
// The last 16 KB bank, which most boards keep at $C000.
inline uint32_t prg_last_16k() { return cartridge.prg_rom_size - 1u; }

// 16 KB bank x in the two windows from `window` ($8000 or $C000): 8 KB banks 2x, 2x + 1 (8-bit).
inline void prg_16k_at(uint32_t window, uint32_t x) {
  uint8_t* bank = mapper_state.prg_bank + ((window >> 13) & 3);
  bank[0] = uint8_t(x * 2);
  bank[1] = uint8_t(x * 2 + 1);
}
// 32 KB bank x in all four windows.
inline void prg_32k(uint32_t x) {
  for (uint32_t i = 0; i < 4; ++i) mapper_state.prg_bank[i] = uint8_t(x * 4 + i);
}

// One 1 KB CHR bank number per pattern page, for boards whose registers select pages rather than
// whole tables. Numbers past the image wrap when the pages are formed.
struct ChrPages {
  uint16_t bank[8];

  // `count` pages from `first` on bank `number` in units of `count` KB.
  void set(uint32_t first, uint32_t count, uint32_t number) {
    for (uint32_t i = 0; i < count && first + i < 8; ++i)
      bank[first + i] = uint16_t(number * count + i);
  }
  // The first 8 KB of CHR ROM.
  void reset() { set(0, 8, 0); }
  void map() const {
    for (uint32_t i = 0; i < 8; ++i) mapper_map_chr(i, 1, bank[i]);
  }
};

// Entry points for the set-up table: a write function per board (installed at $8000 unless the
// table's init puts it elsewhere) and the rest of its set-up.
void mmc1_write(uint32_t address, uint32_t value, MemHandler*);
void mmc1_init();

void mmc3_write(uint32_t address, uint32_t value, MemHandler*);
void mmc3_init();

void mmc5_write(uint32_t address, uint32_t value, MemHandler*);
void mmc5_init();

void mmc2_write(uint32_t address, uint32_t value, MemHandler*);
void mmc2_init();
void mmc4_write(uint32_t address, uint32_t value, MemHandler*);
void mmc4_init();

void latch_board_write(uint32_t address, uint32_t value, MemHandler*);
void latch_board_init();
void nina1_write(uint32_t address, uint32_t value, MemHandler*);
void nina1_init();

void multicart15_write(uint32_t address, uint32_t value, MemHandler*);
void multicart225_write(uint32_t address, uint32_t value, MemHandler*);
void multicart227_write(uint32_t address, uint32_t value, MemHandler*);
void multicart227_init();

void bandai_write(uint32_t address, uint32_t value, MemHandler*);
void bandai_init();

void vrc4_2a_write(uint32_t address, uint32_t value, MemHandler*);
void vrc4_2a_init();
void vrc4_1b_write(uint32_t address, uint32_t value, MemHandler*);
void vrc4_1b_init();
void vrc4_1a_write(uint32_t address, uint32_t value, MemHandler*);
void vrc4_1a_init();
void vrc6_write(uint32_t address, uint32_t value, MemHandler*);
void vrc6_init();

void irem_g101_write(uint32_t address, uint32_t value, MemHandler*);
void irem_g101_init();
void taito_tc0190_write(uint32_t address, uint32_t value, MemHandler*);
void taito_tc0190_init();
void mapper40_write(uint32_t address, uint32_t value, MemHandler*);
void mapper40_init();
void sunsoft4_write(uint32_t address, uint32_t value, MemHandler*);
void sunsoft4_init();
void hk_sf3_write(uint32_t address, uint32_t value, MemHandler*);
void hk_sf3_init();

// Save states: each board file offers the registers it keeps of its own, one variable at a time.
template <class... T>
void visit_board_state(MapperStateVisit visit, void* user, T&... parts) {
  (visit(&parts, uint32_t(sizeof parts), user), ...);
}
void bandai_state(MapperStateVisit visit, void* user);
void discrete_state(MapperStateVisit visit, void* user);
void hk_sf3_state(MapperStateVisit visit, void* user);
void irem_g101_state(MapperStateVisit visit, void* user);
void konami_vrc_state(MapperStateVisit visit, void* user);
void mapper40_state(MapperStateVisit visit, void* user);
void mmc1_state(MapperStateVisit visit, void* user);
void mmc2_mmc4_state(MapperStateVisit visit, void* user);
void mmc3_state(MapperStateVisit visit, void* user);
void mmc5_state(MapperStateVisit visit, void* user);
void multicarts_state(MapperStateVisit visit, void* user);
void sunsoft4_state(MapperStateVisit visit, void* user);
void taito_tc0190_state(MapperStateVisit visit, void* user);
