// The palette cartridge: colour-0 slots written through $3F00/$3F10 only, direct reads, and
// the colours the renderer takes from palette memory.
#include <gtest/gtest.h>

#include <array>

#include "support/rom_runner.h"

namespace {

constexpr int kRow = 272;

int colour_at(const RomRun& run, int x, int y) { return run.frame[y * kRow + x] & 0x3F; }

TEST(PaletteRom, ColourZeroSlotsFollowTheLastBackdropWriteAndThePictureUsesThem) {
  const RomRun run = run_rom("palette", 4);
  ASSERT_TRUE(run.loaded);
  EXPECT_EQ(run.memory[0x300], 0x01);
  // Read back after writing $0F, $01, $02, ... $27 to $3F00-$3F1F: the slots 0, 4, ... 28 hold
  // the $21 written last to $3F10; after $2C to $3F10 and $05/$06 to $3F04/$3F18 they hold $2C.
  const std::array<uint8_t, 32> written = {0x0F, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                                           0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x11, 0x12, 0x13,
                                           0x21, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A,
                                           0x1B, 0x1C, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27};
  for (int i = 0; i < 32; ++i) {
    const bool slot0 = i % 4 == 0;
    EXPECT_EQ(run.memory[0x310 + i], slot0 ? 0x21 : written[i])
        << "first read, $3F" << std::hex << i;
    EXPECT_EQ(run.memory[0x330 + i], slot0 ? 0x2C : written[i])
        << "second read, $3F" << std::hex << i;
  }
  // The picture: backdrop, tile and sprite colours.
  EXPECT_EQ(colour_at(run, 10, 50), 0x2C);  // backdrop
  EXPECT_EQ(colour_at(run, 250, 200), 0x2C);
  for (int x = 0; x < 256; x += 8)  // tile row 12 (lines 96-103): tiles 1, 2, 3 = $01-$03
    EXPECT_EQ(colour_at(run, x + 3, 97), 1 + x / 8 % 3) << "x " << x;
  EXPECT_EQ(colour_at(run, 123, 104), 0x18);  // sprite 0: sprite palette 1 colour 1, $3F15
  EXPECT_EQ(colour_at(run, 123, 108), 0x2C);  // below it
}

}  // namespace
