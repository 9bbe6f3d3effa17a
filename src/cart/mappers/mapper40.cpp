// Mapper 40 (an SMB2 bootleg board): 8 KB banks 4, 5 and 7 fixed at $8000, $A000 and $E000, a
// switchable $C000 window, and an IRQ after every 37 scanlines.
#include "cart/mappers/mappers.h"

namespace {

uint8_t m40_irq_counter;
uint8_t m40_irq_enabled;
uint8_t m40_prg_c000;  // 8 KB bank at $C000

constexpr uint8_t kM40IrqPeriod = 37;

void m40_sync() {
  uint8_t* bank = mapper_state.prg_bank;
  bank[0] = 4, bank[1] = 5, bank[2] = m40_prg_c000, bank[3] = 7;
  mapper_sync_prg();
}

void m40_scanline() {
  if (!m40_irq_enabled) return;
  if (++m40_irq_counter < kM40IrqPeriod) return;
  m40_irq_counter = 0;
  cpu_irq();
}

}  // namespace

void mapper40_state(MapperStateVisit visit, void* user) {
  visit_board_state(visit, user, m40_irq_counter, m40_irq_enabled, m40_prg_c000);
}

// $C000 shows bank 6 until the game's first $E000-$FFFF write, which completes the board's
// natural 4-5-6-7 order; $6000-$7FFF stays SRAM.
void mapper40_init() {
  m40_prg_c000 = 6;
  m40_irq_counter = 0;
  m40_irq_enabled = 1;
  m40_sync();
  mapper_state.mapper_scanline_hook = m40_scanline;
}

void mapper40_write(uint32_t address, uint32_t value, MemHandler*) {
  switch (address & 0xE000) {
    case 0x8000:  // $8000-$9FFF: stop and clear the counter
      m40_irq_counter = 0;
      m40_irq_enabled = 0;
      break;
    case 0xA000: m40_irq_enabled = 1; break;  // $A000-$BFFF
    case 0xE000:                              // $E000-$FFFF
      m40_prg_c000 = value & 7;
      m40_sync();
      break;
    default: break;  // $C000-$DFFF
  }
}
