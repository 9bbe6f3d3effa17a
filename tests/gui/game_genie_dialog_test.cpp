#include "shell/qt/dialogs/game_genie_dialog.h"

#include <QPushButton>
#include <initializer_list>

#include "cheats/game_genie.h"
#include "gui/dialog_test_support.h"

namespace {

void set_list(std::initializer_list<const char*> codes) {
  int32_t n = 0;
  for (const char* code : codes) gg_set_code_text(n++, code);
  gg_set_count(n);
}

QStringList stored_list() {
  QStringList out;
  for (int32_t i = 0; i < gg_count(); ++i) out << gg_code_text(i);
  return out;
}

void add(QWidget* d, const char* text) {
  set_text(d, 1013, text);
  click(d, 1012);
}

class GameGenieDialogTest : public ::testing::Test {
 protected:
  void TearDown() override {
    set_list({});
    gg_set_enabled(true);
  }
};

TEST_F(GameGenieDialogTest, EditsTheListOkStoresItSortedAndCancelKeepsIt) {
  set_list({"ZEXPYGLA", "AAAAAA"});
  GameGenieDialog d;
  EXPECT_EQ(lines_of(&d, 1011), (QStringList{"AAAAAA", "ZEXPYGLA"}));
  EXPECT_TRUE(dialog_control_as<QPushButton>(&d, 1012)->isDefault());
  EXPECT_EQ(d.findChild<QLabel*>("labelStatus")->text(), kGgPatchNote);
  dialog_control_as<QLineEdit>(&d, 1013)->insert("sxiopo");  // as typed: validated
  EXPECT_EQ(text_of(&d, 1013), "SXIOPO");
  click(&d, 1012);
  // Only six or eight characters are taken; the letters are not checked.
  for (const char* refused : {"", "ABCDE", "ABCDEFG", "ABCDEFGHI"}) add(&d, refused);
  add(&d, "1234-678");
  EXPECT_EQ(lines_of(&d, 1011), (QStringList{"1234-678", "AAAAAA", "SXIOPO", "ZEXPYGLA"}));
  click(&d, 1014);  // nothing selected
  EXPECT_EQ(lines_of(&d, 1011).size(), 4);
  dialog_control_as<QListWidget>(&d, 1011)->item(1)->setSelected(true);
  click(&d, 1014);
  click(&d, kIdOk);
  EXPECT_EQ(d.result(), kIdOk);
  EXPECT_EQ(stored_list(), (QStringList{"1234-678", "SXIOPO", "ZEXPYGLA"}));

  gg_set_enabled(false);
  GameGenieDialog again;
  EXPECT_TRUE(again.findChild<QLabel*>("labelStatus")->text().startsWith(kGgOffNote));
  add(&again, "GOSSIP");
  click(&again, kIdCancel);
  EXPECT_EQ(again.result(), kIdCancel);
  EXPECT_EQ(stored_list(), (QStringList{"1234-678", "SXIOPO", "ZEXPYGLA"}));
}

TEST_F(GameGenieDialogTest, AFullListTakesNoMoreCodes) {
  for (int32_t i = 0; i < kGgMaxCodes; ++i) gg_set_code_text(i, "AAAAAA");
  gg_set_count(kGgMaxCodes);
  GameGenieDialog d;
  add(&d, "GOSSIP");
  EXPECT_EQ(dialog_control_as<QListWidget>(&d, 1011)->count(), kGgMaxCodes);
}

// A running game without bank switching: OK reaches the list between two frames, and the code
// takes effect when the game is loaded again.
TEST_F(MainWindowTest, GameGenieCodesReachARunningGameAtItsNextLoad) {
  struct ClearList {
    ~ClearList() { set_list({}); }
  } clear_list;
  set_list({});
  if (!start_cartridge(*window, "cheat_target.nes")) GTEST_SKIP() << "no test cartridge";
  int original = -1;
  ASSERT_TRUE(wait_until([&] { return (original = game_byte(0x91D9)) >= 0; }));
  ASSERT_NE(original, 0xAD);

  ModalAnswer<QDialog> answer([](QDialog* d) {
    add(d, "SXIOPO");
    click(d, kIdOk);
  });
  EXPECT_EQ(game_genie_dialog_exec(nullptr), kIdOk);
  EXPECT_EQ(stored_list(), QStringList{"SXIOPO"});
  EXPECT_EQ(game_byte(0x91D9), original);
  start_cartridge(*window, "cheat_target.nes");
  EXPECT_TRUE(wait_until([] { return game_byte(0x91D9) == 0xAD; }));
}

}  // namespace
