// The MMC1 and MMC3 cartridges switch banks, check the marker bytes they find and report at
// $0300 ($01 passed, $80+n check n failed); the MMC3 one also splits the screen with its IRQ.
#include <gtest/gtest.h>

#include <set>

#include "support/rom_runner.h"

namespace {

TEST(MapperRom, Mmc1SerialPortPrgAndChrModesAndMirroring) {
  const RomRun run = run_rom("mmc1", 30);
  ASSERT_TRUE(run.loaded);
  EXPECT_EQ(run.memory[0x300], 0x01) << "failed check " << (run.memory[0x300] & 0x7F);
  EXPECT_EQ(run.cpu_result, 0x80000000u);
}

TEST(MapperRom, Mmc3BanksMirroringAndOneInterruptPerFrame) {
  const RomRun run = run_rom("mmc3", 60);
  ASSERT_TRUE(run.loaded);
  EXPECT_EQ(run.memory[0x300], 0x01) << "failed check " << (run.memory[0x300] & 0x7F);
  // The interrupt switches the background from its line on: plain above, stripes below.
  auto colours_in_row = [&](uint32_t line) {
    std::set<uint8_t> colours;
    for (uint32_t x = 0; x < 256; ++x) colours.insert(run.frame[line * 272 + x] & 0x3F);
    return colours.size();
  };
  EXPECT_EQ(colours_in_row(60), 1u);
  EXPECT_EQ(colours_in_row(200), 2u);
}

}  // namespace
