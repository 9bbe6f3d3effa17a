#include "cart/mapper.h"

#include <gtest/gtest.h>

#include "support/mapper_fixture.h"

namespace {

using MapperFramework = MapperFixture;

TEST_F(MapperFramework, UnsupportedMapperWarnsOnceAndRunsAsMapper0) {
  power_on(InesBuilder::mapper(255));
  EXPECT_EQ(host_.shown(), std::vector<std::string>{"Error!|Unsupported mapper!  Vantrell will "
                                                    "attempt to run it anyway, but success is "
                                                    "highly unlikely.|-"});
  EXPECT_EQ(bank_at(0x8000), 0);
  EXPECT_EQ(bank_at(0xC000), 0);
}

TEST_F(MapperFramework, BankNumbersPastTheImageWrapAndPatternRamStays) {
  power_on(InesBuilder(3, 1));  // six 8 KB banks (a modulo, not a mask), eight 1 KB pages
  mapper_state.prg_bank[0] = 7;
  mapper_state.prg_bank[1] = 255;
  mapper_sync_prg();
  EXPECT_EQ(bank_at(0x8000), 1);
  EXPECT_EQ(bank_at(0xA000), 3);
  mapper_map_chr(0, 4, 3);  // 4 KB bank 3 of a 8 KB image is bank 1
  for (int i = 0; i < 4; ++i) EXPECT_EQ(chr_page_at(i), 4 + i);
  mapper_map_chr(6, 1, 17);
  EXPECT_EQ(chr_page_at(6), 1);

  power_on(InesBuilder(3, 0));
  mapper_map_chr(0, 8, 1);
  mapper_reset_chr();
  for (int i = 0; i < 8; ++i) EXPECT_EQ(ppu_pages.pattern_page[i], vram + i * 0x400);
}

TEST(MapperReduceBank, FollowsTheMaskSeries) {
  const std::tuple<uint32_t, uint32_t, uint32_t> cases[] = {
      // value, count, reduced
      {0x8B, 16, 0x0B},  // 0x8B & 0x7F = 11 < 16
      {0x8B, 8, 3},      // masks 0x3F, 0x1F, 0x0F leave 11, mask 0x07 gives 3
      {5, 8, 5},         // below count: unchanged, even with bit 7 clear
      {200, 6, 0},       // 200&0x7F=72 → &0x3F=8 → &0x1F=8 → &0x0F=8 → &0x07=0
      {7, 1, 0},         {0x1FF, 64, 63},  // only the low 8 bits count
      {0xC5, 100, 0x45},                   // bit 7 goes first, keeping bit 6
  };
  for (const auto& [value, count, reduced] : cases)
    EXPECT_EQ(mapper_reduce_bank(value, count), reduced) << value << " " << count;
}

}  // namespace
