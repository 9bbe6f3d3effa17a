#include "cart/mapper.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/mapper_fixture.h"

namespace {

using MapperFramework = MapperFixture;

TEST_F(MapperFramework, Mapper0With16KbShowsTheBankTwiceAndTakesVectorsFromItsEnd) {
  InesBuilder b;
  b.prg_banks = 1;
  power_on(b);
  EXPECT_EQ(bank_at(0x8000), 0);
  EXPECT_EQ(bank_at(0xA000), 1);
  EXPECT_EQ(bank_at(0xC000), 0);
  EXPECT_EQ(bank_at(0xE000), 1);
  EXPECT_EQ(0, std::memcmp(flat_.data() + 0xFFFA, cartridge.prg_rom + 0x3FFA, 6));
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(MapperFramework, Mapper0With32KbIsSeenWholeAndIgnoresWrites) {
  InesBuilder b;
  b.prg_banks = 2;
  power_on(b);
  for (uint32_t w = 0; w < 4; ++w) EXPECT_EQ(bank_at(0x8000 + w * 0x2000), int(w));
  EXPECT_EQ(0, std::memcmp(flat_.data() + 0xFFFA, cartridge.prg_rom + 0x7FFA, 6));
  const uint8_t before = cartridge.prg_rom[0x10];
  cpu_write(0x8010, 0x55);
  EXPECT_EQ(cartridge.prg_rom[0x10], before);
  EXPECT_EQ(flat_[0x8010], 0);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(chr_page_at(i), i);
}

TEST_F(MapperFramework, SetupRefreshesShadowContextAndProgramRegion) {
  InesBuilder b;
  power_on(b);
  CpuContext live;
  cpu_get_context(&live);
  for (int i = 4; i < 8; ++i) EXPECT_EQ(shadow_.pages[i], live.pages[i]);
}

TEST_F(MapperFramework, UnsupportedMapperWarnsOnceAndRunsAsMapper0) {
  InesBuilder b;
  b.flags6 = 0xF0;
  b.flags7 = 0xF0;  // mapper 255
  power_on(b);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text,
            "Unsupported mapper!  Vantrell will attempt to run it anyway, but success is highly "
            "unlikely.");
  EXPECT_EQ(host_.messages[0].caption, "Error!");
  EXPECT_EQ(host_.messages[0].buttons, MessageButtons::Ok);
  EXPECT_FALSE(host_.messages[0].owned);
  EXPECT_EQ(bank_at(0x8000), 0);
  EXPECT_EQ(bank_at(0xC000), 0);
}

TEST_F(MapperFramework, SetupRestoresTheDefaultWriteHandlers) {
  write_table_[0].handler.write = sram_write;  // as a previous game's mapper may have left them
  write_table_[1].handler.write = ignore_write;
  InesBuilder b;
  power_on(b);
  EXPECT_EQ(write_table_[0].handler.write, &ignore_write);
  EXPECT_EQ(write_table_[1].handler.write, &sram_write);
  EXPECT_EQ(write_table_[2].handler.write, mapper_state.mapper_write);
}

TEST_F(MapperFramework, MirroringSetupsPointBothNametableCopies) {
  InesBuilder b;
  power_on(b);
  struct Case {
    void (*setup)();
    uint32_t offsets[4];
  };
  const Case cases[] = {
      {mapper_mirror_vertical, {0x2000, 0x2400, 0x2000, 0x2400}},
      {mapper_mirror_horizontal, {0x2000, 0x2000, 0x2400, 0x2400}},
      {mapper_mirror_single_low, {0x2000, 0x2000, 0x2000, 0x2000}},
      {mapper_mirror_single_high, {0x2400, 0x2400, 0x2400, 0x2400}},
  };
  for (const Case& c : cases) {
    c.setup();
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(ppu_pages.nametable_page[i], vram + c.offsets[i]);
      EXPECT_EQ(ppu_pages.render_nametable[i], vram + c.offsets[i]);
      EXPECT_EQ(ppu_page(0x2000 + i * 0x400), vram + c.offsets[i]);
    }
  }
}

TEST_F(MapperFramework, BankNumbersPastTheImageWrap) {
  InesBuilder b;
  b.prg_banks = 2;  // four 8 KB banks
  b.chr_banks = 1;  // eight 1 KB pages
  power_on(b);
  mapper_state.prg_bank[0] = 5;
  mapper_state.prg_bank[1] = 255;
  mapper_sync_prg();
  EXPECT_EQ(bank_at(0x8000), 1);
  EXPECT_EQ(bank_at(0xA000), 3);
  mapper_map_chr(0, 4, 3);  // 4 KB bank 3 of a 8 KB image is bank 1
  for (int i = 0; i < 4; ++i) EXPECT_EQ(chr_page_at(i), 4 + i);
  mapper_map_chr(6, 1, 17);
  EXPECT_EQ(chr_page_at(6), 1);
}

TEST_F(MapperFramework, ChrHelpersLeavePatternRamAlone) {
  InesBuilder b;
  b.chr_banks = 0;
  power_on(b);
  mapper_map_chr(0, 8, 1);
  mapper_reset_chr();
  for (int i = 0; i < 8; ++i) EXPECT_EQ(ppu_pages.pattern_page[i], vram + i * 0x400);
}

TEST_F(MapperFramework, SramHandlersFollowTheEnable) {
  InesBuilder b;
  power_on(b);
  CpuContext ctx;
  cpu_get_context(&ctx);
  ctx.pages[3] = flat_.data() + 0x6000;
  cpu_set_context(&ctx);
  cpu_get_context(shadow_context);
  mapper_state.sram_enabled = 1;
  cpu_write(0x6123, 0x42);
  EXPECT_EQ(sram_read(0x6123, nullptr), 0x42u);
  mapper_state.sram_enabled = 0;
  EXPECT_EQ(sram_read(0x6123, nullptr), 0u);
  cpu_write(0x6123, 0x99);
  mapper_state.sram_enabled = 1;
  EXPECT_EQ(sram_read(0x6123, nullptr), 0x42u);
  EXPECT_EQ(flat_[0x7FFF], 0);
}

TEST(MapperReduceBank, FollowsTheMaskSeries) {
  struct Case {
    uint32_t value, count, expected;
  };
  const Case cases[] = {
      {0x8B, 16, 0x0B},               // 0x8B & 0x7F = 11 < 16
      {0x8B, 8, 3},                   // masks 0x3F, 0x1F, 0x0F leave 11, mask 0x07 gives 3
      {5, 8, 5},                      // below count: unchanged, even with bit 7 clear
      {0xFF, 32, 31},   {200, 6, 0},  // 200&0x7F=72 → &0x3F=8 → &0x1F=8 → &0x0F=8 → &0x07=0
      {7, 1, 0},        {0x1FF, 64, 63},  // only the low 8 bits count
  };
  for (const Case& c : cases) {
    EXPECT_EQ(mapper_reduce_bank(c.value, c.count), c.expected) << c.value << " " << c.count;
  }
}

}  // namespace
