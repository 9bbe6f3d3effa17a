// Mapper 16, Bandai FCG: sixteen registers by the low address nibble, mirrored at $6000-$600F,
// $7FF0-$7FFF and $8000-$800F: eight 1 KB pattern banks, a 16 KB program bank, mirroring and a
// CPU-cycle IRQ counter.
#include "cart/mappers/mappers.h"

namespace {

ChrPages bandai_chr;
uint8_t bandai_prg;           // 16 KB bank at $8000
uint8_t bandai_irq_enabled;   // register 10, bit 0
uint16_t bandai_irq_counter;  // registers 11 (low) and 12 (high), in CPU cycles

constexpr MirrorCodes kBandaiMirror = {Mirror::H, Mirror::V, Mirror::L, Mirror::S};
constexpr uint16_t kCyclesPerLine = 114;

void bandai_sync() {
  prg_16k_at(0x8000, bandai_prg);
  mapper_sync_prg();
  bandai_chr.map();
}

// The board counts CPU cycles; the frame loop's clock is one call per scanline slot, so each call
// takes a line's 114 cycles. The call during which the counter reaches or passes zero raises the
// IRQ and clears the enable, as the board does: a counter of N interrupts on call ceil(N / 114)
// (on the first call for N = 0).
void bandai_scanline() {
  if (!bandai_irq_enabled) return;
  const bool expires = bandai_irq_counter <= kCyclesPerLine;
  bandai_irq_counter = uint16_t(bandai_irq_counter - kCyclesPerLine);
  if (!expires) return;
  bandai_irq_enabled = 0;
  cpu_irq();
}

}  // namespace

void bandai_state(MapperStateVisit visit, void* user) {
  visit_board_state(visit, user, bandai_chr, bandai_prg, bandai_irq_counter, bandai_irq_enabled);
}

// The registers start on the set-up's windows: 16 KB bank 0 and the first 8 KB of CHR ROM.
void bandai_init() {
  bandai_prg = 0;
  bandai_chr.reset();
  bandai_irq_counter = 0;
  bandai_irq_enabled = 0;
  bandai_sync();
  mapper_set_write_handler(0x6000, bandai_write);
  mapper_state.mapper_scanline_hook = bandai_scanline;
}

void bandai_write(uint32_t address, uint32_t value, MemHandler*) {
  const uint32_t top = address >> 4;
  if (top != 0x600 && top != 0x7FF && top != 0x800) return;
  const uint8_t v = uint8_t(value);
  const uint32_t r = address & 15;
  if (r < 8) {
    bandai_chr.set(r, 1, v);
  } else if (r == 8) {
    bandai_prg = v;
  } else {
    switch (r) {
      case 9: mapper_mirror(kBandaiMirror[v & 3]); break;
      case 10: bandai_irq_enabled = v & 1; break;
      case 11: bandai_irq_counter = uint16_t((bandai_irq_counter & 0xFF00) | v); break;
      case 12: bandai_irq_counter = uint16_t((bandai_irq_counter & 0x00FF) | v << 8); break;
      default: break;
    }
    return;
  }
  bandai_sync();
}
