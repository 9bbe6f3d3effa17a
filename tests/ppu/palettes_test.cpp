#include "ppu/palettes.h"

#include <gtest/gtest.h>

namespace {

uint32_t rgb(const PaletteEntry& e) { return uint32_t{e.red} << 16 | e.green << 8 | e.blue; }

// Values the system's palettes are known by: a typo or a swapped palette shows here. Entries
// 64-191 repeat them, so that the renderer's bit-7 mark shows the same colour.
TEST(PalettesTest, SampledColoursAreExactAndRepeatForTheMarkedEntries) {
  const int colours[] = {0x00, 0x01, 0x0C, 0x10, 0x20, 0x2B, 0x30, 0x3F};
  const struct {
    int palette;
    uint32_t values[8];
  } cases[] = {
      {0, {0x757575, 0x271B8F, 0x1B3F5F, 0xBCBCBC, 0xFFFFFF, 0x58F898, 0xFFFFFF, 0x000000}},
      {2, {0x3F3F3F, 0x001F3F, 0x003F3F, 0x7F7F7F, 0xBFBFBF, 0x42BF81, 0xFFFFFF, 0x000000}},
      {7, {0x626A00, 0x0000FF, 0x3700FF, 0xFF66FF, 0xF8F8F8, 0xFF43FF, 0xFFFFFF, 0x004000}},
  };
  for (const auto& c : cases) {
    for (int i = 0; i < 8; ++i) {
      for (int entry = colours[i]; entry < 192; entry += 64) {
        EXPECT_EQ(rgb(ppu_palettes[c.palette][entry]), c.values[i])
            << "palette " << c.palette << " entry " << entry;
      }
    }
  }
}

}  // namespace
