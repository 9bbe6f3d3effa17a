#include "cart/rom_info.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "cart/cartridge.h"
#include "support/ines_builder.h"

namespace {

const std::map<int, std::string> kNamed = {
    {0, "None"},
    {1, "Nintendo MMC1"},
    {2, "UNROM"},
    {3, "CNROM"},
    {4, "Nintendo MMC3"},
    {5, "Nintendo MMC5"},
    {6, "FFE F4xxx"},
    {7, "AOROM"},
    {8, "FFE F3xxx"},
    {9, "Nintendo MMC2"},
    {10, "Nintendo MMC4"},
    {11, "Color Dreams"},
    {12, "FFE F6xxx"},
    {15, "100 in 1"},
    {16, "Bandai"},
    {17, "FFE F8xxx"},
    {18, "Jaleco SS8806"},
    {19, "Namcot 106"},
    {20, "Famicom Disk System"},
    {21, "Konami VRC4 2a"},
    {22, "Konami VRC4 1b"},
    {23, "Konami VRC4 1a"},
    {24, "Konami VRC6 Mapper"},
    {25, "Konami VRC4"},
    {32, "Irem G-101"},
    {33, "Taito TC0190/TC0350"},
    {34, "Nina-1"},
    {64, "Tengen RAMBO-1"},
    {65, "Irem H-3001"},
    {66, "GNROM"},
    {67, "Sunsoft Mapper #3"},
    {68, "Sunsoft Mapper #4"},
    {69, "Sunsoft FME-7"},
    {70, "74161/32 Chipset "},
    {71, "Camerica"},
    {78, "Irem 74HC161/32"},
    {80, "X-005"},
    {81, "C075"},
    {82, "X1-17"},
    {83, "Cony"},
    {91, "HK-SF3"},
    {225, "72 in 1"},
    {227, "1200 in 1"},
};

TEST(MapperNames, NamedEntriesAreExactAndEveryOtherIsUnknown) {
  for (int n = 0; n < kMapperCount; ++n) {
    ASSERT_NE(mapper_names[n], nullptr) << n;
    const std::string name = mapper_names[n];
    if (const auto it = kNamed.find(n); it != kNamed.end()) {
      EXPECT_EQ(name, it->second) << n;
    } else if (n == 84) {
      EXPECT_FALSE(name.empty());
      EXPECT_NE(name, "Unknown");
    } else {
      EXPECT_EQ(name, "Unknown") << n;
    }
  }
}

TEST(MapperNames, FieldIsNameAndNumber) {
  EXPECT_EQ(rom_info_mapper_text(4), "Nintendo MMC3 (4)");
  EXPECT_EQ(rom_info_mapper_text(40), "Unknown (40)");
  EXPECT_EQ(rom_info_mapper_text(70), "74161/32 Chipset  (70)");
  EXPECT_EQ(rom_info_mapper_text(255), "Unknown (255)");
}

TEST(RomInfo, WithoutAnImageOnlyThePathFieldSpeaks) {
  Cartridge never_loaded;
  Cartridge bad_signature;
  TempFile f({'N', 'E', 'S', 0x00, 1, 1, 0, 0});
  ASSERT_EQ(bad_signature.cartridge_load(f.path()), LoadResult::NoSignature);
  for (const Cartridge* c : {&never_loaded, &bad_signature}) {
    const RomInfo info = rom_info_read(*c);
    EXPECT_EQ(info.path, "ROM not loaded, or bad header");
    EXPECT_EQ(info.chr_rom_size, "");
    EXPECT_EQ(info.prg_rom_size, "");
    EXPECT_EQ(info.mapper, "");
    EXPECT_FALSE(info.vertical_mirroring || info.battery || info.trainer || info.four_screen);
  }
}

TEST(RomInfo, ShowsHeaderUnitsMapperAndFlags) {
  struct Case {
    uint8_t flags6, flags7;
    bool trainer;
    bool vertical, battery, four_screen;
    const char* mapper;
  };
  const Case cases[] = {
      {0x41, 0x00, false, true, false, false, "Nintendo MMC3 (4)"},
      {0x4A, 0x40, true, false, true, true, "Sunsoft Mapper #4 (68)"},
  };
  for (const Case& c : cases) {
    InesBuilder b;
    b.prg_banks = 8;  // 128 KB
    b.chr_banks = 16;
    b.flags6 = c.flags6;
    b.flags7 = c.flags7;
    b.trainer = c.trainer;
    TempFile f(b.build());
    Cartridge cart;
    ASSERT_EQ(cart.cartridge_load(f.path()), LoadResult::Ok);
    const RomInfo info = rom_info_read(cart);
    EXPECT_EQ(info.path, f.path());
    EXPECT_EQ(info.chr_rom_size, "16");
    EXPECT_EQ(info.prg_rom_size, "8");
    EXPECT_EQ(info.mapper, c.mapper);
    EXPECT_EQ(info.vertical_mirroring, c.vertical);
    EXPECT_EQ(info.battery, c.battery);
    EXPECT_EQ(info.trainer, c.trainer);
    EXPECT_EQ(info.four_screen, c.four_screen);
  }
}

}  // namespace
