#include "ppu/palettes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

uint32_t rgb(const PaletteEntry& e) { return uint32_t{e.red} << 16 | e.green << 8 | e.blue; }

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
