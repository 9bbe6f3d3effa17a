// The hardware profile through our cartridges: hw_checks passes on the console's rules (and the
// classic profile fails its first check, the palette mirrors), its sprite-0 split ends the
// background on the exact line, and every other cartridge runs in that profile, passing its
// checks or failing exactly the check where the classic model and the console differ.
#include "support/rom_runner.h"

namespace {

TEST(HardwareProfileRom, HwChecksPassOnTheConsolesRulesOnly) {
  EXPECT_EQ(run_rom("hw_checks", 8).memory[0x300], 0x81) << "classic: no palette mirrors";
  HardwareProfile hardware;
  const RomRun run = run_rom("hw_checks", 16);
  EXPECT_EQ(run.memory[0x300], 0x01) << "check " << (run.memory[0x300] & 0x7F);
  EXPECT_EQ(run.cpu_result, kBudgetSpent);
  ASSERT_GT(run.memory[0x301], 2) << "the split ran in too few frames";
  // Sprite 0 (lines 100-107, x 128-135) hits on line 100; the background goes off a few dozen
  // dots later on that line.
  for (int y = 8; y <= 232; ++y) {
    for (int x = 0; x < 256; ++x) {
      const bool sprite = y >= 100 && y <= 107 && x >= 128 && x < 136;
      const int expected = sprite ? 0x16 : y < 100 || (y == 100 && x < 128) ? 0x30 : 0x0F;
      if (y == 100 && x >= 136 && x < 200) continue;  // where the CPU's write lands
      ASSERT_EQ(run.colour_at(x, y), expected) << "x " << x << " y " << y;
    }
  }
}

// RESULT ($0300) of each cartridge after its frames in the hardware profile: $01, or the check
// that tests a rule of the classic model the console does not follow.
TEST(HardwareProfileRom, EveryCartridgePassesOrFailsWhereTheModelsDiffer) {
  struct Case {
    const char* name;
    uint32_t frames;
    uint8_t result;
    const char* why;  // of a check that fails
  };
  const Case cases[] = {
      {"cpu_instr", 10, 0x01, ""},
      {"ppu_regs", 12, 0x83, "it expects a dummy $FF first read; the console has a buffer"},
      {"palette", 4, 0x81, "it expects eight shared colour-0 slots; the console has four"},
      {"scroll", 10, 0x00, "its sprite 0 lies under the clipped left column: no hit"},
      {"sprite0_hit", 12, 0x83, "it expects the hit cleared as vertical blank begins"},
      {"sprite_dma", 6, 0x01, ""},
      {"apu_status", 40, 0x81, "it expects bit 6 always set; there it is the frame interrupt"},
      {"joypad", 10, 0x01, ""},
      {"mmc1", 30, 0x01, ""},
      {"mmc3", 60, 0x01, ""},  // one IRQ a frame, but at the top: $C000 holds the board's latch
      {"mmc3_irq", 20, 0x01, ""},
      {"hw_timing", 30, 0x01, ""},
  };
  HardwareProfile hardware;
  for (const Case& c : cases) {
    const RomRun run = run_rom(c.name, c.frames);
    EXPECT_EQ(run.memory[0x300], c.result) << c.name << ": " << c.why;
    EXPECT_EQ(run.cpu_result, kBudgetSpent) << c.name;
  }
}

// The board's counter, clocked by one A12 rise a line, interrupts on line 99 with latch 100: the
// bank switch of the IRQ handler shows from a few tiles into line 100.
TEST(HardwareProfileRom, Mmc3BoardSplitsTheScreenAtItsLatch) {
  HardwareProfile hardware;
  const RomRun run = run_rom("mmc3_irq", 20);
  for (int y = 8; y <= 232; ++y) {
    for (int x = 0; x < 256 && y != 100; ++x) {
      const bool stripe = y > 100 && x % 8 >= 2 && x % 8 <= 6;
      ASSERT_EQ(run.colour_at(x, y), stripe ? 0x38 : 0x12) << "x " << x << " y " << y;
    }
  }
}

}  // namespace
