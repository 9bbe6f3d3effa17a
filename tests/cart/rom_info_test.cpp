#include "cart/rom_info.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Numbers without a name read "Unknown"; the field adds the number. What rom_info_read makes of
// a header is checked through the ROM info dialog.
TEST(MapperNames, EveryNumberHasATextAndTheFieldAddsTheNumber) {
  for (int n = 0; n < kMapperCount; ++n) ASSERT_NE(mapper_names[n], nullptr) << n;
  const std::pair<int, const char*> cases[] = {
      {0, "None (0)"}, {40, "Unknown (40)"}, {227, "1200 in 1 (227)"}, {255, "Unknown (255)"}};
  for (const auto& [n, text] : cases) EXPECT_EQ(rom_info_mapper_text(n), text);
}

}  // namespace
