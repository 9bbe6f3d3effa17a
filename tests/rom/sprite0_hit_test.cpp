// The sprite-0 cartridge counts, in a loop of 15 cycles (17 when the low byte wraps), from the
// start of vertical blank to the hit, and once over a whole frame without a hit. The frame's
// count is 264 lines in the same unit, so each hit count tells the line the CPU saw it on. The
// hits lie on odd lines: from line 243 that is an even number of lines, over which the
// alternating per-line budgets (228 minus the line before) even out.
#include <gtest/gtest.h>

#include <cmath>

#include "support/rom_runner.h"

namespace {

constexpr int kLines = 264, kLinesFromVblankToLine0 = 264 - 243;

int loop_cycles(const RomRun& run, int low_address) {
  const int count = run.memory[low_address] | run.memory[low_address + 1] << 8;
  return 15 * count + 2 * (count >> 8);
}

int hit_line(const RomRun& run, int low_address) {
  const double frame = loop_cycles(run, 0x307);
  return int(std::lround(kLines * loop_cycles(run, low_address) / frame)) - kLinesFromVblankToLine0;
}

TEST(Sprite0HitRom, HitComesOnTheRightLineAndLastsUntilVerticalBlank) {
  const RomRun run = run_rom("sprite0_hit", 12);
  ASSERT_TRUE(run.loaded);
  EXPECT_EQ(run.memory[0x300], 0x01) << "failed check " << (run.memory[0x300] & 0x7F);
  EXPECT_EQ(run.memory[0x309], 0x07) << "hits in A, B and C only";
  struct Case {
    const char* what;
    int address;
    int line;
  };
  const Case cases[] = {
      {"ring over a solid tile, Y 60: its first line", 0x301, 61},
      {"ring over a solid tile, Y 160: its first line", 0x303, 161},
      {"ring over the backdrop only, Y 100: its second-to-last line", 0x305, 107},
  };
  for (const Case& c : cases) EXPECT_EQ(hit_line(run, c.address), c.line) << c.what;
}

}  // namespace
