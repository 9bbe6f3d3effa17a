// The scroll cartridge shows x = 100, y = 20 above a sprite-0 split at line 120 and x = 300
// below it (the name-table bit set by $2000, the new y of the second $2005 write dropped).
#include <gtest/gtest.h>

#include "support/rom_runner.h"

namespace {

constexpr int kRow = 272;

// Name table 0 column c: tile 1 + c mod 3 in palette 0; name table 1 row r: tile 1 + r mod 3
// in palette 1 (vertical mirroring, so the tables below are the same two).
int expected_colour(int scroll_x, int x, int line) {
  static constexpr int kTable0[3] = {0x16, 0x2A, 0x12}, kTable1[3] = {0x27, 0x15, 0x31};
  const int world = (scroll_x + x) % 512;
  int y = 20 + line;
  if (y >= 240) y -= 240;
  return world < 256 ? kTable0[world / 8 % 3] : kTable1[y / 8 % 3];
}

bool line_matches(const RomRun& run, int scroll_x, int line) {
  for (int x = 0; x < 256; ++x)
    if ((run.frame[line * kRow + x] & 0x3F) != expected_colour(scroll_x, x, line)) return false;
  return true;
}

TEST(ScrollRom, SplitsAtSprite0AndScrollsAcrossBothNameTables) {
  const RomRun run = run_rom("scroll", 10);
  ASSERT_TRUE(run.loaded);
  EXPECT_EQ(run.memory[0x300], 0x01);
  int split = 8;
  while (split <= 232 && line_matches(run, 100, split)) ++split;
  EXPECT_GE(split, 121) << "the top part ends early";
  EXPECT_LE(split, 122) << "the split comes late";
  for (int line = split; line <= 232; ++line)
    EXPECT_TRUE(line_matches(run, 300, line)) << "line " << line;
}

}  // namespace
