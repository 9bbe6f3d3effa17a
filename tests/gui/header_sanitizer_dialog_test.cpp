#include "shell/qt/dialogs/header_sanitizer_dialog.h"

#include <QPushButton>
#include <cstring>
#include <filesystem>

#include "cart/cartridge.h"
#include "gui/dialog_test_support.h"
#include "support/ines_builder.h"
#include "support/ips_builder.h"

namespace {

// The loaded cartridge's junk is shown; "Clean it!" zeroes bytes 8-15 of its file and "I don't
// care" leaves the file, and neither changes the mapper of the image in memory.
TEST(HeaderSanitizerDialog, ShowsTheJunkAndCleansTheFileOnlyWhenAsked) {
  InesBuilder b;
  b.flags6 = 0x20;  // mapper low nibble 2
  b.flags7 = 'D';
  std::memcpy(b.junk, "iskDude!", 8);
  for (const int button : {kIdCancel, kIdOk}) {
    std::vector<uint8_t> image = b.build();
    TempFile f(image);
    ASSERT_EQ(cartridge.cartridge_load(f.path()), LoadResult::DirtyHeader);
    ModalAnswer<QDialog> answer([button](QDialog* d) {
      EXPECT_EQ(text_of(d, 1037), "DiskDude!");
      EXPECT_TRUE(dialog_control_as<QLineEdit>(d, 1037)->isReadOnly());
      EXPECT_TRUE(dialog_control_as<QPushButton>(d, kIdOk)->isDefault());
      click(d, button);
    });
    EXPECT_EQ(header_sanitizer_dialog_exec(nullptr), button);
    EXPECT_EQ(cartridge.mapper, 2);
    cartridge.cartridge_unload();
    if (button == kIdOk) std::fill(image.begin() + 8, image.begin() + 16, 0);
    EXPECT_EQ(read_file(f.path()), image) << button;
  }
}

TEST(HeaderSanitizerDialog, CleanItClosesQuietlyWhenTheFileCannotBeWritten) {
  const std::filesystem::path missing =
      std::filesystem::temp_directory_path() / "vantrell_sanitizer_dialog_missing.nes";
  std::filesystem::remove(missing);
  test_host().clear_records();
  HeaderSanitizerDialog d(missing.c_str());
  EXPECT_EQ(text_of(&d, 1037), "");
  click(&d, kIdOk);
  EXPECT_EQ(d.result(), kIdOk);
  EXPECT_TRUE(test_host().shown_boxes().empty());
}

}  // namespace
