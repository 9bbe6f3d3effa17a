#include "cart/rom_info.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// 44 numbers have a name, every other is "Unknown"; the field adds the number. What
// rom_info_read makes of a header is checked through the ROM info dialog.
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

}  // namespace
