// Mappers 9 and 10, Nintendo MMC2 and MMC4: each half of the pattern table has two 4 KB banks and
// a latch that the PPU sets by fetching tile $FD or $FE from that half; the latch picks which bank
// is shown. The two chips differ in address decoding, the program window size and CHR masking.
#include "cart/mappers/mappers.h"

namespace {

constexpr uint8_t kLatchFD = 0xFD;
constexpr uint8_t kLatchFE = 0xFE;

struct LatchChip {
  uint16_t decode_mask;  // MMC2 answers anywhere in each 4 KB range, MMC4 at the exact address
  bool prg_16k;          // $A000 selects 8 KB at $8000 (MMC2) or 16 KB (MMC4)
  bool masked_chr;       // MMC4 masks the 4 KB offset to the CHR ROM
};
constexpr LatchChip kMmc2 = {0xF000, false, false};
constexpr LatchChip kMmc4 = {0xFFFF, true, true};

const LatchChip* latch_chip = &kMmc2;
uint8_t latch_bank[2][2];  // [half][0: $FD bank, 1: $FE bank]; kept from an earlier game
uint8_t latch[2];          // $FD or $FE per half

void latch_map_chr() {
  for (int half = 0; half < 2; ++half) {
    uint32_t bank = latch_bank[half][latch[half] == kLatchFE];
    if (latch_chip->masked_chr)
      bank = ((bank * 4096) & (cartridge.chr_rom_size * 8192u - 4096)) / 4096;
    mapper_map_chr(half * 4, 4, bank);
  }
}

void latch_sync() {
  mapper_sync_prg();
  latch_map_chr();
}

// Called with every PPU pattern fetch and $2007 access: rows of tile $FD/$FE flip the latch of
// their half. The latch moves even with pattern RAM; the pages only with CHR ROM.
void latch_ppu_hook(uint16_t* ppu_address) {
  const uint32_t t = *ppu_address & 0x3FF0;
  const uint32_t tile = (t >> 4) & 0xFF;
  if (t >= 0x2000 || (tile != kLatchFD && tile != kLatchFE)) return;
  latch[t >> 12] = uint8_t(tile);
  latch_map_chr();
}

void latch_chip_init(const LatchChip& chip) {
  latch_chip = &chip;
  latch[0] = latch[1] = kLatchFE;
  mapper_state.mapper_ppu_latch_hook = latch_ppu_hook;
  // No CHR reset at set-up: the pages show what the registers kept from the last game select.
  latch_map_chr();
}

void latch_chip_write(uint32_t address, uint8_t v) {
  switch (address & latch_chip->decode_mask) {
    case 0xA000:
      if (latch_chip->prg_16k) {
        prg_16k_at(0x8000, v);
      } else {
        mapper_state.prg_bank[0] = v;
      }
      break;
    case 0xB000: latch_bank[0][0] = v; break;
    case 0xC000: latch_bank[0][1] = v; break;
    case 0xD000: latch_bank[1][0] = v; break;
    case 0xE000: latch_bank[1][1] = v; break;
    case 0xF000: mapper_mirror(v & 1 ? Mirror::H : Mirror::V); return;
    default: return;
  }
  latch_sync();
}

}  // namespace

void mmc2_mmc4_state(MapperStateVisit visit, void* user) {
  visit_board_state(visit, user, latch_bank, latch);
}

void mmc2_init() { latch_chip_init(kMmc2); }
void mmc4_init() { latch_chip_init(kMmc4); }
void mmc2_write(uint32_t address, uint32_t value, MemHandler*) {
  latch_chip_write(address, uint8_t(value));
}
void mmc4_write(uint32_t address, uint32_t value, MemHandler*) {
  latch_chip_write(address, uint8_t(value));
}
