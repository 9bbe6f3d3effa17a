#include "cart/rom_info.h"

#include <gtest/gtest.h>

#include <string>

#include "cart/cartridge.h"
#include "support/ines_builder.h"

namespace {

// 44 numbers have a name, every other is "Unknown"; the field adds the number.
TEST(MapperNames, NamedEntriesAndTheField) {
  int named = 0;
  for (int n = 0; n < kMapperCount; ++n) {
    ASSERT_NE(mapper_names[n], nullptr) << n;
    named += std::string(mapper_names[n]) != "Unknown";
  }
  EXPECT_EQ(named, 44);
  const std::pair<int, const char*> cases[] = {
      {0, "None (0)"},          {4, "Nintendo MMC3 (4)"},       {24, "Konami VRC6 Mapper (24)"},
      {40, "Unknown (40)"},     {70, "74161/32 Chipset  (70)"}, {84, "Unlicensed (84)"},
      {227, "1200 in 1 (227)"}, {255, "Unknown (255)"},
  };
  for (const auto& [n, text] : cases) EXPECT_EQ(rom_info_mapper_text(n), text);
}

TEST(RomInfo, WithoutAnImageOnlyThePathFieldSpeaks) {
  Cartridge never_loaded;
  Cartridge bad_signature;
  TempFile f({'N', 'E', 'S', 0x00, 1, 1, 0, 0});
  ASSERT_EQ(bad_signature.cartridge_load(f.path()), LoadResult::NoSignature);
  for (const Cartridge* c : {&never_loaded, &bad_signature}) {
    const RomInfo info = rom_info_read(*c);
    EXPECT_EQ(info.path, "ROM not loaded, or bad header");
    EXPECT_EQ(info.chr_rom_size + info.prg_rom_size + info.mapper, "");
    EXPECT_FALSE(info.vertical_mirroring || info.battery || info.trainer || info.four_screen);
  }
}

TEST(RomInfo, ShowsHeaderUnitsMapperAndFlags) {
  const struct {
    uint8_t flags6, flags7;
    bool trainer, vertical, battery, four_screen;
    const char* mapper;
  } cases[] = {
      {0x41, 0x00, false, true, false, false, "Nintendo MMC3 (4)"},
      {0x4A, 0x40, true, false, true, true, "Sunsoft Mapper #4 (68)"},
  };
  for (const auto& c : cases) {
    InesBuilder b;
    b.prg_banks = 8;
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
