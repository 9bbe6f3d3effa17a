#include "cart/header_sanitizer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cart/cartridge.h"
#include "support/ines_builder.h"

namespace {

// An image whose header bytes 7-15 hold the given nine bytes.
std::vector<uint8_t> image_with_junk(const char (&junk)[10]) {
  InesBuilder b;
  b.flags6 = 0x10;  // mapper low nibble 1
  b.flags7 = uint8_t(junk[0]);
  std::memcpy(b.junk, junk + 1, 8);
  return b.build();
}

std::vector<uint8_t> read_file(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(HeaderSanitizer, ShowsBytes7To15UpToTheFirstZero) {
  struct Case {
    const char bytes[10];
    const char* shown;
  };
  const Case cases[] = {
      {"DiskDude!", "DiskDude!"},
      {{0, 'D', 'i', 's', 'k', 'D', 'u', 'd', 'e'}, ""},  // byte 7 zero hides a dirty 8-15
      {{'A', 'B', 0, 0, 0, 0, 'x', 'y', 'z'}, "AB"},
  };
  for (const Case& c : cases) {
    TempFile f(image_with_junk(c.bytes));
    EXPECT_EQ(header_sanitizer_read(f.path()), c.shown);
  }
  EXPECT_EQ(header_sanitizer_read("/nonexistent/vantrell/rom.nes"), "");
  EXPECT_EQ(header_sanitizer_read(nullptr), "");
  TempFile tiny({'N', 'E', 'S', 0x1A, 1, 1, 0, 'Q', 'R'});  // ends inside the header
  EXPECT_EQ(header_sanitizer_read(tiny.path()), "QR");
}

TEST(HeaderSanitizer, CleaningMakesTheNextLoadReadByte7) {
  const std::vector<uint8_t> before = image_with_junk("DiskDude!");
  TempFile f(before);
  Cartridge dirty;
  ASSERT_EQ(dirty.cartridge_load(f.path()), LoadResult::DirtyHeader);
  EXPECT_EQ(dirty.mapper, 1);

  ASSERT_EQ(header_sanitizer_clean(f.path()), 0);

  const std::vector<uint8_t> after = read_file(f.path());
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    const bool cleaned = i >= 8 && i < 16;
    ASSERT_EQ(after[i], cleaned ? 0 : before[i]) << "byte " << i;
  }
  EXPECT_EQ(dirty.mapper, 1) << "the image in memory keeps its mapper";
  Cartridge clean;
  ASSERT_EQ(clean.cartridge_load(f.path()), LoadResult::Ok);
  EXPECT_EQ(clean.mapper, 0x41);  // 'D' = 0x44 gives the high nibble 0x40
}

TEST(HeaderSanitizer, CleanOfAnUnwritablePathChangesNothing) {
  const std::filesystem::path missing =
      std::filesystem::temp_directory_path() / "vantrell_sanitizer_missing.nes";
  std::filesystem::remove(missing);
  EXPECT_EQ(header_sanitizer_clean(missing.c_str()), -1);
  EXPECT_FALSE(std::filesystem::exists(missing)) << "a missing file must not be created";

  const std::filesystem::path dir = std::filesystem::temp_directory_path();
  EXPECT_EQ(header_sanitizer_clean(dir.c_str()), -1);
  EXPECT_EQ(header_sanitizer_clean(nullptr), -1);
}

}  // namespace
