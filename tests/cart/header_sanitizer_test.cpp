#include "cart/header_sanitizer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "cart/cartridge.h"
#include "support/ines_builder.h"

namespace {

// An image of mapper low nibble 1 whose header bytes 7-15 hold the given nine bytes.
std::vector<uint8_t> image_with_junk(const char (&junk)[10]) {
  InesBuilder b(1, 1, 0x10, uint8_t(junk[0]));
  std::memcpy(b.junk, junk + 1, 8);
  return b.build();
}

TEST(HeaderSanitizer, ShowsBytes7To15UpToTheFirstZero) {
  const struct {
    const char bytes[10];
    const char* shown;
  } cases[] = {
      {"DiskDude!", "DiskDude!"},
      {{0, 'D', 'i', 's', 'k', 'D', 'u', 'd', 'e'}, ""},  // byte 7 zero hides a dirty 8-15
      {{'A', 'B', 0, 0, 0, 0, 'x', 'y', 'z'}, "AB"},
  };
  for (const auto& c : cases) {
    TempFile f(image_with_junk(c.bytes));
    EXPECT_EQ(header_sanitizer_read(f.path()), c.shown);
  }
  EXPECT_EQ(header_sanitizer_read("/nonexistent/vantrell/rom.nes"), "");
  EXPECT_EQ(header_sanitizer_read(nullptr), "");
  TempFile tiny({'N', 'E', 'S', 0x1A, 1, 1, 0, 'Q', 'R'});  // ends inside the header
  EXPECT_EQ(header_sanitizer_read(tiny.path()), "QR");
}

// Cleaning makes the next load read the mapper's high nibble from byte 7 ('D' = 0x44); which
// bytes it zeroes on disk is the dialog test's check.
TEST(HeaderSanitizer, CleaningMakesTheNextLoadReadByte7) {
  TempFile f(image_with_junk("DiskDude!"));
  Cartridge dirty, clean;
  ASSERT_EQ(dirty.cartridge_load(f.path()), LoadResult::DirtyHeader);
  ASSERT_EQ(header_sanitizer_clean(f.path()), 0);
  ASSERT_EQ(clean.cartridge_load(f.path()), LoadResult::Ok);
  EXPECT_EQ(clean.mapper, 0x41);
}

TEST(HeaderSanitizer, CleanOfAnUnwritablePathChangesNothing) {
  const std::filesystem::path missing =
      std::filesystem::temp_directory_path() / "vantrell_sanitizer_missing.nes";
  std::filesystem::remove(missing);
  EXPECT_EQ(header_sanitizer_clean(missing.c_str()), -1);
  EXPECT_FALSE(std::filesystem::exists(missing)) << "a missing file must not be created";
  EXPECT_EQ(header_sanitizer_clean(std::filesystem::temp_directory_path().c_str()), -1);
  EXPECT_EQ(header_sanitizer_clean(nullptr), -1);
}

}  // namespace
