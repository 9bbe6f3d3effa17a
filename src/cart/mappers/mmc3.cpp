// Mapper 4, Nintendo MMC3: a bank-select/bank-data pair, mirroring, SRAM enable and a scanline
// counter. Only the eight exact addresses $8000/$8001, $A000/$A001, $C000/$C001 and $E000/$E001
// are registers (in the classic profile; the hardware profile's board is further down).
//
// The bank-select modes act when a bank is written, not retroactively: the CHR invert bit places
// the CHR writes made after it, and the PRG mode bit takes effect at the next R6/R7 write. So the
// registers kept here are the pages and windows those writes chose.
#include <algorithm>
#include <iterator>

#include "cart/mappers/mappers.h"
#include "machine/profile.h"

namespace {

uint16_t mmc3_command;     // last byte written to $8000
uint16_t mmc3_index;       // its bank-data target R0-R7
uint16_t mmc3_chr_invert;  // 4 when bit 7 of the command is set: CHR halves swapped
uint8_t mmc3_prg_reg[2];   // R6, R7
ChrPages mmc3_chr;
uint16_t mmc3_irq_counter;
uint16_t mmc3_irq_latch;
uint16_t mmc3_irq_enabled;

void mmc3_sync() {
  mapper_sync_prg();
  mmc3_chr.map();
}

// R6 and R7 (reduced) into the windows: bit 6 of the command swaps R6 with the fixed second-last
// bank; the last bank stays at $E000.
void mmc3_place_prg(uint8_t r6, uint8_t r7) {
  const uint8_t last = prg_mask_8k(), second_last = uint8_t(last - 1);
  const bool swapped = mmc3_command & 0x40;
  uint8_t* bank = mapper_state.prg_bank;
  bank[0] = swapped ? second_last : r6;
  bank[1] = r7;
  bank[2] = swapped ? r6 : second_last;
  bank[3] = last;
}

void mmc3_bank_data(uint8_t value) {
  if (mmc3_index < 2) {  // R0, R1: 2 KB as two 1 KB pages; bit 0 of the value counts
    const uint32_t s = (mmc3_index * 2) ^ mmc3_chr_invert;
    mmc3_chr.set(s, 1, value);
    mmc3_chr.set(s + 1, 1, uint8_t(value + 1));
  } else if (mmc3_index < 6) {  // R2-R5: 1 KB
    mmc3_chr.set((mmc3_index + 2) ^ mmc3_chr_invert, 1, value);
  } else {  // R6, R7: 8 KB, reduced to the image
    mmc3_prg_reg[mmc3_index - 6] = mapper_reduce_bank(value, mapper_prg_banks_8k());
    mmc3_place_prg(mmc3_prg_reg[0], mmc3_prg_reg[1]);
  }
  mmc3_sync();
}

// Clocked once per scanline-hook call (after each visible line and on line 262). The counter
// counts down from the latch and reloads after it reaches 0.
//
// The interrupt is raised from the call that leaves the counter at 0 with interrupts enabled:
// with the counter loaded with L at line 243 (the vblank hook or an $E000 write), the line-262
// call makes it L - 1 and the call after visible line L - 2 makes it 0, so the IRQ handler runs in
// that line's CPU time and its scroll or colour change shows from line L - 1 on. A latch of 0
// interrupts on every call.
void mmc3_scanline() {
  if (!mmc3_irq_enabled) return;
  if (mmc3_irq_counter == 0) {
    mmc3_irq_counter = mmc3_irq_latch;
  } else {
    --mmc3_irq_counter;
  }
  if (mmc3_irq_counter == 0) cpu_irq();
}

void mmc3_vblank() { mmc3_irq_counter = mmc3_irq_latch; }

// The hardware profile: the board as built. Its registers repeat through their 8 KB window
// (A0 picks one of the pair), the two mode bits of $8000 apply to every bank at once, and the
// counter is clocked by the PPU's A12 rises: at 0 or after $C001 it reloads from the latch,
// otherwise it counts down; reaching 0 with interrupts enabled holds the IRQ line until $E000.
uint8_t mmc3_bank_reg[8];
bool mmc3_reload;

void mmc3_hw_map() {
  const uint32_t invert = (mmc3_command & 0x80) ? 4 : 0;
  mmc3_chr.set(0 ^ invert, 2, mmc3_bank_reg[0] >> 1);
  mmc3_chr.set(2 ^ invert, 2, mmc3_bank_reg[1] >> 1);
  for (uint32_t i = 0; i < 4; ++i) mmc3_chr.set((4 + i) ^ invert, 1, mmc3_bank_reg[2 + i]);
  const uint32_t count = mapper_prg_banks_8k();
  mmc3_place_prg(mapper_reduce_bank(mmc3_bank_reg[6], count),
                 mapper_reduce_bank(mmc3_bank_reg[7], count));
  mmc3_sync();
}

void mmc3_a12_rise() {
  if (mmc3_irq_counter == 0 || mmc3_reload) {
    mmc3_irq_counter = mmc3_irq_latch;
    mmc3_reload = false;
  } else {
    --mmc3_irq_counter;
  }
  if (mmc3_irq_counter == 0 && mmc3_irq_enabled) mapper_state.irq_line = 1;
}

void mmc3_hw_write(uint32_t address, uint32_t value, MemHandler*) {
  const uint8_t v = uint8_t(value);
  switch (address & 0xE001) {
    case 0x8000:
      mmc3_command = v;
      mmc3_hw_map();
      break;
    case 0x8001:
      mmc3_bank_reg[mmc3_command & 7] = v;
      mmc3_hw_map();
      break;
    case 0xA000: mapper_mirror(v & 1 ? Mirror::H : Mirror::V); break;
    case 0xA001: mapper_state.sram_enabled = v >> 7; break;
    case 0xC000: mmc3_irq_latch = v; break;
    case 0xC001:
      mmc3_irq_counter = 0;
      mmc3_reload = true;
      break;
    case 0xE000:
      mmc3_irq_enabled = 0;
      mapper_state.irq_line = 0;
      break;
    default: mmc3_irq_enabled = 1; break;  // $E001
  }
}

}  // namespace

void mmc3_state(MapperStateVisit visit, void* user) {
  visit_board_state(visit, user, mmc3_command, mmc3_index, mmc3_chr_invert, mmc3_prg_reg, mmc3_chr,
                    mmc3_irq_counter, mmc3_irq_latch, mmc3_irq_enabled, mmc3_bank_reg, mmc3_reload);
}

void mmc3_init() {
  mmc3_prg_reg[0] = 0;
  mmc3_prg_reg[1] = 1;
  mmc3_command = 0;
  mmc3_chr_invert = 0;
  mmc3_chr.reset();
  if (machine_profile == Profile::Hardware) {
    static constexpr uint8_t kPowerOnBanks[8] = {0, 2, 4, 5, 6, 7, 0, 1};
    std::copy(std::begin(kPowerOnBanks), std::end(kPowerOnBanks), mmc3_bank_reg);
    mmc3_irq_counter = mmc3_irq_latch = mmc3_irq_enabled = 0;
    mmc3_reload = false;
    mapper_state.mapper_a12_hook = mmc3_a12_rise;
    mapper_set_write_handler(0x8000, mmc3_hw_write);
    mmc3_hw_map();
    return;
  }
  mapper_state.mapper_scanline_hook = mmc3_scanline;
  mapper_state.mapper_vblank_hook = mmc3_vblank;
}

void mmc3_write(uint32_t address, uint32_t value, MemHandler*) {
  const uint8_t v = uint8_t(value);
  switch (address) {
    case 0x8000:
      mmc3_command = v;
      mmc3_index = v & 7;
      mmc3_chr_invert = (v >> 5) & 4;
      break;
    case 0x8001: mmc3_bank_data(v); break;
    case 0xA000: mapper_mirror(v & 0x40 ? Mirror::S : v & 1 ? Mirror::H : Mirror::V); break;
    case 0xA001: mapper_state.sram_enabled = v >> 7; break;
    case 0xC000: mmc3_irq_counter = v; break;
    case 0xC001: mmc3_irq_latch = v; break;
    case 0xE000:
      mmc3_irq_enabled = 0;
      mmc3_irq_counter = mmc3_irq_latch;
      break;
    case 0xE001: mmc3_irq_enabled = 1; break;
    default: break;
  }
}
