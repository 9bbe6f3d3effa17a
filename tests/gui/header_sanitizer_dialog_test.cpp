#include "shell/qt/dialogs/header_sanitizer_dialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cart/cartridge.h"
#include "gui/dialog_test_support.h"
#include "support/ines_builder.h"

namespace {

std::vector<uint8_t> dirty_image() {
  InesBuilder b;
  b.flags6 = 0x20;  // mapper low nibble 2
  b.flags7 = 'D';
  std::memcpy(b.junk, "iskDude!", 8);
  return b.build();
}

std::vector<uint8_t> read_file(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(HeaderSanitizerDialog, ShowsTheJunkAndLeavesTheFileWhenTheUserDoesNotCare) {
  gui_app();
  const std::vector<uint8_t> image = dirty_image();
  TempFile f(image);
  HeaderSanitizerDialog d(f.path());
  auto* found = dialog_control_as<QLineEdit>(&d, 1037);
  EXPECT_EQ(found->text(), "DiskDude!");
  EXPECT_TRUE(found->isReadOnly());
  EXPECT_TRUE(dialog_control_as<QPushButton>(&d, 1)->isDefault());
  click(&d, 2);
  EXPECT_EQ(d.result(), 2);
  EXPECT_EQ(read_file(f.path()), image);
}

// Bytes 8-15 of the loaded cartridge's file are zeroed; the running image keeps its mapper. A
// file that cannot be written closes the dialog all the same, without a message.
TEST(HeaderSanitizerDialog, CleanItCleansTheLoadedCartridgesFileOrClosesQuietly) {
  gui_app();
  std::vector<uint8_t> image = dirty_image();
  TempFile f(image);
  ASSERT_EQ(cartridge.cartridge_load(f.path()), LoadResult::DirtyHeader);
  ModalAnswer<QDialog> answer([](QDialog* d) { click(d, 1); });
  EXPECT_EQ(header_sanitizer_dialog_exec(nullptr), 1);
  EXPECT_EQ(cartridge.mapper, 2);
  cartridge.cartridge_unload();
  std::fill(image.begin() + 8, image.begin() + 16, 0);
  EXPECT_EQ(read_file(f.path()), image);

  const std::filesystem::path missing =
      std::filesystem::temp_directory_path() / "vantrell_sanitizer_dialog_missing.nes";
  std::filesystem::remove(missing);
  HeaderSanitizerDialog d(missing.c_str());
  EXPECT_EQ(dialog_control_as<QLineEdit>(&d, 1037)->text(), "");
  click(&d, 1);
  EXPECT_EQ(d.result(), 1);
}

}  // namespace
