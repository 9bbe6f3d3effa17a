// The APU cartridge reads $4015 after length-counter starts, enables, disables and the halt bit,
// and once per sound frame while lengths of 2, 6, 8 and 10 frames run out ($0320 + i is read
// after i + 1 sound frames).
#include <gtest/gtest.h>

#include "support/rom_runner.h"

namespace {

TEST(ApuStatusRom, StatusFollowsEnablesAndLoadedLengths) {
  const RomRun run = run_rom("apu_status", 40);
  ASSERT_TRUE(run.loaded);
  EXPECT_EQ(run.memory[0x300], 0x01) << "failed check " << (run.memory[0x300] & 0x7F);
  const struct {
    uint16_t address;
    uint8_t value;
    const char* what;
  } reads[] = {
      {0x310, 0x40, "power-on"},
      {0x330, 0x4F, "all four started"},
      {0x331, 0x45, "square 2 and noise disabled"},
      {0x332, 0x45, "$4007 while disabled loads no length"},
      {0x333, 0x45, "enabling loads no length"},
      {0x334, 0x47, "$4007 while enabled"},
      {0x335, 0x41, "the halt bit stops the length"},
      {0x336, 0x40, "all disabled"},
  };
  for (const auto& r : reads) EXPECT_EQ(run.memory[r.address], r.value) << r.what;
  const int frames[4] = {2, 6, 8, 10};
  for (int bit = 0; bit < 4; ++bit) {
    EXPECT_TRUE(run.memory[0x320 + frames[bit] - 2] >> bit & 1) << "bit " << bit << " ended early";
    EXPECT_FALSE(run.memory[0x320 + frames[bit]] >> bit & 1) << "bit " << bit << " ran too long";
  }
}

}  // namespace
