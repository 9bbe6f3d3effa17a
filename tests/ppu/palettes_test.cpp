#include "ppu/palettes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

uint32_t rgb(const PaletteEntry& e) { return uint32_t{e.red} << 16 | e.green << 8 | e.blue; }

// Values the system's palettes are known by: a typo or a swapped palette shows here.
TEST(PalettesTest, SampledColoursAreExact) {
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
      EXPECT_EQ(rgb(ppu_palettes[c.palette][colours[i]]), c.values[i])
          << "palette " << c.palette << " colour " << colours[i];
    }
  }
}

// The renderer's bit-7 mark must not change the colour shown, so 64-191 (and 192-255 outside
// palette 0) repeat 0-63; palette 0 leaves 192-255 zero. No two palettes are the same.
TEST(PalettesTest, EntriesRepeatTheSixtyFourColoursAndPalettesDiffer) {
  for (int p = 0; p < kPaletteCount; ++p) {
    for (int e = 0; e < kPaletteEntries; ++e) {
      const PaletteEntry& entry = ppu_palettes[p][e];
      if (p == 0 && e >= 192) {
        EXPECT_EQ(rgb(entry) | entry.flags, 0u) << "entry " << e;
        continue;
      }
      EXPECT_EQ(rgb(entry), rgb(ppu_palettes[p][e & 63])) << "palette " << p << " entry " << e;
      EXPECT_EQ(entry.flags, PALETTE_ENTRY_NOCOLLAPSE) << "palette " << p << " entry " << e;
    }
    for (int q = p + 1; q < kPaletteCount; ++q) {
      EXPECT_NE(std::memcmp(ppu_palettes[p], ppu_palettes[q], 64 * sizeof(PaletteEntry)), 0)
          << p << " and " << q;
    }
  }
}

}  // namespace
