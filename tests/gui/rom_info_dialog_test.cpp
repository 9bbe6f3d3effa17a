#include "shell/qt/dialogs/rom_info_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include "cart/cartridge.h"
#include "gui/dialog_test_support.h"
#include "support/ines_builder.h"

namespace {

constexpr int kBoxes[] = {1008, 1027, 1028, 1029};

QString field(QWidget* d, int id) {
  if (auto* edit = dialog_control_as<QLineEdit>(d, id)) return edit->text();
  return dialog_control_as<QLabel>(d, id)->text();
}

std::vector<bool> boxes(QWidget* d) {
  std::vector<bool> checked;
  for (int id : kBoxes) checked.push_back(dialog_control_as<QCheckBox>(d, id)->isChecked());
  return checked;
}

// Clicking any box leaves all four as the header says.
void expect_boxes_snap_back(QWidget* d, const std::vector<bool>& header) {
  for (int id : kBoxes) {
    click(d, id);
    EXPECT_EQ(boxes(d), header) << "after clicking " << id;
  }
}

TEST(RomInfoDialog, ShowsTheLoadedImage) {
  gui_app();
  InesBuilder b;
  b.prg_banks = 8;
  b.chr_banks = 16;
  b.flags6 = 0x4A;  // mapper 68 with flags7, four-screen, battery; a trainer
  b.flags7 = 0x40;
  b.trainer = true;
  TempFile f(b.build());
  Cartridge cart;
  ASSERT_EQ(cart.cartridge_load(f.path()), LoadResult::Ok);

  RomInfoDialog d(cart);
  EXPECT_EQ(field(&d, 1002), f.path());
  EXPECT_EQ(field(&d, 1006), "16");
  EXPECT_EQ(field(&d, 1007), "8");
  EXPECT_EQ(field(&d, 1003), "Sunsoft Mapper #4 (68)");
  EXPECT_TRUE(dialog_control_as<QLineEdit>(&d, 1002)->isReadOnly());
  EXPECT_TRUE(dialog_control_as<QLineEdit>(&d, 1003)->isReadOnly());
  const std::vector<bool> header = {false, true, true, true};  // 1008, 1027, 1028, 1029
  EXPECT_EQ(boxes(&d), header);
  expect_boxes_snap_back(&d, header);
  click(&d, 1);
  EXPECT_EQ(d.result(), 1);
}

// A record that refused its image (it may still hold the bytes) counts as not loaded.
TEST(RomInfoDialog, WithoutAnImageShowsOnlyTheNotice) {
  gui_app();
  Cartridge refused;
  TempFile f({'N', 'E', 'S', 0x00, 1, 1, 0, 0});
  ASSERT_EQ(refused.cartridge_load(f.path()), LoadResult::NoSignature);
  RomInfoDialog d(refused);
  EXPECT_EQ(field(&d, 1002), "ROM not loaded, or bad header");
  for (int id : {1003, 1006, 1007}) EXPECT_EQ(field(&d, id), "") << id;
  const std::vector<bool> header = {false, false, false, false};
  EXPECT_EQ(boxes(&d), header);
  expect_boxes_snap_back(&d, header);
  d.reject();
  EXPECT_EQ(d.result(), 2);
}

TEST(RomInfoDialog, ExecShowsTheGlobalCartridge) {
  gui_app();
  InesBuilder b;
  b.flags6 = 0x61;  // mapper 70 (with flags7 0x40), vertical
  b.flags7 = 0x40;
  TempFile f(b.build());
  ASSERT_EQ(cartridge.cartridge_load(f.path()), LoadResult::Ok);
  QString mapper;
  std::vector<bool> checked;
  ModalAnswer<QDialog> answer([&](QDialog* d) {
    mapper = field(d, 1003);
    checked = boxes(d);
    click(d, 1);
  });
  EXPECT_EQ(rom_info_dialog_exec(nullptr), 1);
  EXPECT_EQ(mapper, "74161/32 Chipset  (70)");
  EXPECT_EQ(checked, (std::vector<bool>{true, false, false, false}));
  cartridge.cartridge_unload();
}

}  // namespace
