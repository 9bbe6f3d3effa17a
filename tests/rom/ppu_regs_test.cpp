// The PPU register cartridge: $2002 clears vertical blank and the toggle, the dummy $FF read
// after $2006, no read buffer, increments 1 and 32, the shared toggle, undecoded mirrors, and
// $2000 bit 1 taken only outside the visible lines.
#include <gtest/gtest.h>

#include "support/rom_runner.h"

namespace {

// The cartridge writes $2000 = $02 in vertical blank and $2000 = $00 around line 100: the whole
// picture comes from name table $2800 (colour 2 of palette 0, $2A), none from $2000 ($16).
TEST(PpuRegsRom, ChecksPassReadsAreAsExpectedAndNameTableBit1ChangesOnlyInVerticalBlank) {
  const RomRun run = run_rom("ppu_regs", 12);
  ASSERT_TRUE(run.loaded);
  EXPECT_EQ(run.memory[0x300], 0x01) << "failed check " << (run.memory[0x300] & 0x7F);
  const std::pair<uint16_t, uint8_t> reads[] = {
      {0x301, 0x80}, {0x302, 0x00},                                               // $2002 twice
      {0x310, 0xFF}, {0x311, 0x10}, {0x312, 0x11}, {0x313, 0x12}, {0x314, 0x13},  // step 1
      {0x318, 0xFF}, {0x319, 0x20}, {0x31A, 0x21}, {0x31B, 0x22},                 // step 32
  };
  for (const auto& [address, value] : reads)
    EXPECT_EQ(run.memory[address], value) << "at $" << std::hex << address;
  for (int y = 0; y < 240; ++y) {
    const bool shown = y >= 8 && y <= 232;
    for (int x = 0; x < 256; ++x) {
      const uint8_t pixel = run.frame[y * 272 + x];
      ASSERT_EQ(shown ? pixel & 0x3F : pixel, shown ? 0x2A : 0x3F) << "x " << x << " y " << y;
    }
  }
}

}  // namespace
