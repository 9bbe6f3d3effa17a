// The sprite DMA cartridge copies page $06 into sprite memory with $4014 and then overwrites
// sprite 63's Y three times through $2004 without moving $2003.
#include <gtest/gtest.h>

#include <array>

#include "ppu/ppu.h"
#include "support/rom_runner.h"

namespace {

// The cartridge's sprite n: Y, tile, attributes, X.
std::array<uint8_t, 4> sprite(int n) {
  const int row = n / 8, column = n % 8;
  return {uint8_t(n == 63 ? 200 : 39 + 22 * row), uint8_t(1 + n % 3), uint8_t(row % 4),
          uint8_t(24 + 28 * column)};
}

// Sprite palettes 0-3, colours 1-3.
constexpr uint8_t kSpriteColours[4][3] = {
    {0x21, 0x27, 0x30}, {0x11, 0x17, 0x29}, {0x15, 0x1A, 0x2C}, {0x24, 0x38, 0x01}};

TEST(SpriteDmaRom, CopiesThePageAndEverySpriteShowsInItsPlaceAndColour) {
  const RomRun run = run_rom("sprite_dma", 6);
  ASSERT_TRUE(run.loaded);
  EXPECT_EQ(run.memory[0x300], 0x01) << "no sprite-0 hit";
  for (int n = 0; n < 64; ++n) {
    const auto s = sprite(n);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ppu.oam[n * 4 + i], s[i]) << "sprite " << n;
    const int x = s[3] + 4, y = s[0] + 1 + 4;  // the middle of the sprite
    EXPECT_EQ(run.frame[y * 272 + x] & 0x3F, kSpriteColours[s[2]][s[1] - 1]) << "sprite " << n;
  }
  EXPECT_EQ(run.frame[197 * 272 + 224] & 0x3F, 0x0F);  // sprite 63 left its DMA place
}

}  // namespace
