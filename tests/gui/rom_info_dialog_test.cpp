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

// Two images whose flags differ in every box, so that no two boxes can be mixed up.
TEST(RomInfoDialog, ExecShowsTheLoadedCartridge) {
  gui_app();
  const struct {
    uint8_t prg, chr, flags6, flags7;
    bool trainer;
    const char* mapper;
    std::vector<bool> boxes;  // 1008, 1027, 1028, 1029
  } cases[] = {
      // mapper 68, four-screen, battery and a trainer
      {8, 16, 0x4A, 0x40, true, "Sunsoft Mapper #4 (68)", {false, true, true, true}},
      {1, 1, 0x61, 0x40, false, "74161/32 Chipset  (70)", {true, false, false, false}},
  };
  for (const auto& c : cases) {
    InesBuilder b;
    b.prg_banks = c.prg, b.chr_banks = c.chr, b.flags6 = c.flags6, b.flags7 = c.flags7;
    b.trainer = c.trainer;
    TempFile f(b.build());
    ASSERT_EQ(cartridge.cartridge_load(f.path()), LoadResult::Ok);
    ModalAnswer<QDialog> answer([&](QDialog* d) {
      EXPECT_EQ(field(d, 1002), f.path());
      EXPECT_EQ(field(d, 1006), QString::number(c.chr));
      EXPECT_EQ(field(d, 1007), QString::number(c.prg));
      EXPECT_EQ(field(d, 1003), c.mapper);
      EXPECT_TRUE(dialog_control_as<QLineEdit>(d, 1002)->isReadOnly());
      EXPECT_TRUE(dialog_control_as<QLineEdit>(d, 1003)->isReadOnly());
      EXPECT_EQ(boxes(d), c.boxes);
      expect_boxes_snap_back(d, c.boxes);
      click(d, 1);
    });
    EXPECT_EQ(rom_info_dialog_exec(nullptr), 1);
    EXPECT_EQ(answer.answered, 1);
    cartridge.cartridge_unload();
  }
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

}  // namespace
