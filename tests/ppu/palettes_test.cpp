#include "ppu/palettes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

uint32_t rgb(const PaletteEntry& e) { return uint32_t{e.red} << 16 | e.green << 8 | e.blue; }

// The default palette, colours $00-$3F.
constexpr uint32_t kDefault[64] = {
    0x757575, 0x271B8F, 0x0000AB, 0x47009F, 0x8F0077, 0xAB0013, 0xA70000, 0x7F0B00,
    0x432F00, 0x004700, 0x005100, 0x003F17, 0x1B3F5F, 0x000000, 0x000000, 0x000000,
    0xBCBCBC, 0x0073EF, 0x233BEF, 0x8300F3, 0xBF00BF, 0xE7005B, 0xDB2B00, 0xCB4F0F,
    0x8B7300, 0x009700, 0x00AB00, 0x00933B, 0x00838B, 0x000000, 0x000000, 0x000000,
    0xFFFFFF, 0x3FBFFF, 0x5F97FF, 0xA78BFD, 0xF77BFF, 0xFF77B7, 0xFF7763, 0xFF9B3B,
    0xF3BF3F, 0x83D313, 0x4FDF4B, 0x58F898, 0x00EBDB, 0x000000, 0x000000, 0x000000,
    0xFFFFFF, 0xABE7FF, 0xC7D7FF, 0xD7CBFF, 0xFFC7FF, 0xFFC7DB, 0xFFBFB3, 0xFFDBAB,
    0xFFE7A3, 0xE3FFA3, 0xABF3BF, 0xB3FFCF, 0x9FFFF3, 0x000000, 0x000000, 0x000000,
};

TEST(PalettesTest, DefaultPaletteIsExact) {
  for (int c = 0; c < 64; ++c) EXPECT_EQ(rgb(ppu_palettes[0][c]), kDefault[c]) << "colour " << c;
}

TEST(PalettesTest, ListedColoursOfOtherPalettesAreExact) {
  const int colours[] = {0x00, 0x01, 0x0F, 0x10, 0x20, 0x30, 0x3F};
  const struct {
    int palette;
    uint32_t values[7];
  } cases[] = {
      {1, {0x808080, 0x0000BB, 0x050505, 0xC8C8C8, 0xFFFFFF, 0xFFFFFF, 0x111111}},
      {2, {0x3F3F3F, 0x001F3F, 0x000000, 0x7F7F7F, 0xBFBFBF, 0xFFFFFF, 0x000000}},
      {4, {0x747474, 0x24188C, 0x000000, 0xBCBCBC, 0xFCFCFC, 0xFCFCFC, 0x000000}},
      {7, {0x626A00, 0x0000FF, 0x000000, 0xFF66FF, 0xF8F8F8, 0xFFFFFF, 0x004000}},
  };
  for (const auto& c : cases) {
    for (int i = 0; i < 7; ++i) {
      EXPECT_EQ(rgb(ppu_palettes[c.palette][colours[i]]), c.values[i])
          << "palette " << c.palette << " colour " << colours[i];
    }
  }
}

// The renderer's bit-7 mark must not change the colour shown, so 64-191 (and 192-255 outside
// palette 0) repeat 0-63; palette 0 leaves 192-255 zero.
TEST(PalettesTest, EntriesRepeatTheSixtyFourColoursWithNoCollapseFlags) {
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
  }
}

TEST(PalettesTest, PalettesAreDistinct) {
  for (int a = 0; a < kPaletteCount; ++a) {
    for (int b = a + 1; b < kPaletteCount; ++b) {
      EXPECT_NE(std::memcmp(ppu_palettes[a], ppu_palettes[b], 64 * sizeof(PaletteEntry)), 0)
          << a << " and " << b;
    }
  }
}

TEST(PalettesTest, SelectionFallsBackToTheDefault) {
  const struct {
    uint32_t index;
    int palette;
  } cases[] = {{0, 0}, {1, 1}, {7, 7}, {11, 11}, {12, 0}, {0x80000000u, 0}, {0xFFFFFFFFu, 0}};
  for (const auto& c : cases) {
    ppu_select_palette(5);
    ppu_select_palette(c.index);
    EXPECT_EQ(current_palette, ppu_palettes[c.palette]) << "index " << c.index;
  }
  ppu_select_palette(0);
}

}  // namespace
