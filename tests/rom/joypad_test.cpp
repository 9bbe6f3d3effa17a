// The joypad cartridge strobes both ports each frame and stores 24 reads of each, then a 25th
// read and reads around writes of $01 and $00 to $4016.
#include <gtest/gtest.h>

#include "support/rom_runner.h"

namespace {

uint8_t bit_read(uint32_t stream, int k) { return 0x40 | (stream >> k & 1); }

void expect_reads(const RomRun& run, uint32_t port1, uint32_t port2) {
  for (int k = 0; k < 24; ++k) {
    EXPECT_EQ(run.memory[0x310 + k], bit_read(port1, k)) << "port 1 read " << k + 1;
    EXPECT_EQ(run.memory[0x330 + k], bit_read(port2, k)) << "port 2 read " << k + 1;
  }
  EXPECT_EQ(run.memory[0x350], bit_read(port1, 0)) << "the 25th read starts over";
  EXPECT_EQ(run.memory[0x351], bit_read(port1, 1)) << "a write of $01 restarted the stream";
  EXPECT_EQ(run.memory[0x352], bit_read(port1, 0)) << "a write of $00 did not restart port 1";
  EXPECT_EQ(run.memory[0x353], bit_read(port2, 0)) << "a write of $00 did not restart port 2";
}

TEST(JoypadRom, ReadsDeliverBothStreamsBitByBitWithBit6Set) {
  const uint32_t port1 = 0xA5C3F1, port2 = 0x5A1E0F;
  const RomRun run = run_rom("joypad", 4, {{0, 1, port1}, {0, 2, port2}});
  ASSERT_TRUE(run.loaded);
  EXPECT_EQ(run.memory[0x300], 0x01);
  expect_reads(run, port1, port2);
}

TEST(JoypadRom, ANewStreamIsReadFromTheNextFrameOn) {
  const RomRun run = run_rom("joypad", 8, {{0, 1, 0x000001}, {5, 1, 0x800080}, {0, 2, 0xFFFFFF}});
  ASSERT_TRUE(run.loaded);
  expect_reads(run, 0x800080, 0xFFFFFF);
}

}  // namespace
