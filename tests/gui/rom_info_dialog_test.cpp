#include "shell/qt/dialogs/rom_info_dialog.h"

#include <QCheckBox>

#include "cart/cartridge.h"
#include "gui/dialog_test_support.h"
#include "support/ines_builder.h"

namespace {

// The four boxes 1008, 1027, 1028 and 1029 as "1" for ticked, "0" for not.
std::string boxes(QWidget* d) {
  std::string ticks;
  for (int id : {1008, 1027, 1028, 1029})
    ticks += dialog_control_as<QCheckBox>(d, id)->isChecked() ? '1' : '0';
  return ticks;
}

// flags: bit 0 vertical mirroring, bit 1 battery, bit 3 four-screen.
std::vector<uint8_t> image(uint8_t prg, uint8_t chr, uint8_t mapper, uint8_t flags, bool trainer) {
  InesBuilder b;
  b.prg_banks = prg, b.chr_banks = chr, b.trainer = trainer;
  b.flags6 = uint8_t(mapper << 4 | flags), b.flags7 = mapper & 0xF0;
  return b.build();
}

// Three images in which every box has its own pattern of ticks, so that no two boxes can be mixed
// up, and one that failed to load, which shows only the notice. A click on a box leaves all four
// as they were.
TEST(RomInfoDialog, ShowsTheLoadedCartridgeInFieldsAndBoxesThatCannotChange) {
  const struct {
    std::vector<uint8_t> image;
    std::string fields, boxes;  // 1006|1007|1003; 1008, 1027, 1028, 1029
  } cases[] = {
      {image(8, 16, 68, 0x9, false), "16|8|Sunsoft Mapper #4 (68)", "1001"},
      {image(1, 1, 70, 0xA, false), "1|1|74161/32 Chipset  (70)", "0101"},
      {image(2, 4, 255, 0x8, true), "4|2|Unknown (255)", "0011"},
      {{'N', 'E', 'S', 0x00, 1, 1, 0, 0}, "||", "0000"},
  };
  for (const auto& c : cases) {
    TempFile f(c.image);
    const bool loaded = c.fields != "||";
    ASSERT_EQ(cartridge.cartridge_load(f.path()) == LoadResult::Ok, loaded);
    ModalAnswer<QDialog> answer([&](QDialog* d) {
      EXPECT_EQ(text_of(d, 1002), loaded ? f.path() : "ROM not loaded, or bad header");
      EXPECT_EQ(texts_of(d, {1006, 1007, 1003}), c.fields);
      for (int id : {1002, 1003}) EXPECT_TRUE(dialog_control_as<QLineEdit>(d, id)->isReadOnly());
      for (int clicked : {0, 1008, 1027, 1028, 1029}) {
        if (clicked) click(d, clicked);
        EXPECT_EQ(boxes(d), c.boxes) << "after clicking " << clicked;
      }
      loaded ? click(d, kIdOk) : d->reject();
    });
    EXPECT_EQ(rom_info_dialog_exec(nullptr), loaded ? kIdOk : kIdCancel);
    EXPECT_EQ(answer.answered, 1);
    cartridge.cartridge_unload();
  }
}

}  // namespace
