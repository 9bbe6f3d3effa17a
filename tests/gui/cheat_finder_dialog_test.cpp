// The cheat finder: its panels, names and address search without a game, its searches and
// writes on a running game, and its way of blocking only its caller.
#include "shell/qt/dialogs/cheat_finder_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QTimer>

#include "gui/dialog_test_support.h"

namespace {

void clear_finder() {
  cheat_finder.result_count = 0;
  cheat_finder.named_count = 0;
  cheat_finder.has_snapshot = false;
}

// Either the value panel (frame, box, Find) or the comparisons (frame, six buttons) is shown.
void expect_value_panel(CheatFinderDialog* d, bool shown) {
  EXPECT_EQ(d->findChild<QGroupBox*>("groupSearchVal")->isVisible(), shown);
  EXPECT_EQ(d->findChild<QGroupBox*>("groupSearchType")->isVisible(), !shown);
  for (int id : {1068, 1050}) EXPECT_EQ(dialog_control(d, id)->isVisible(), shown) << id;
  for (int id = 1062; id <= 1067; ++id) EXPECT_EQ(dialog_control(d, id)->isVisible(), !shown);
}

// Without a game nothing is searched or read, but the results, names and panels still show.
TEST(CheatFinderDialog, WithoutAGameShowsNamesPanelsAndAnAddressSearch) {
  clear_finder();
  finder_set_single(0x1234);
  finder_add_named(0x0010, "Beta");
  finder_add_named(0x0020, "alpha");
  CheatFinderDialog d;
  d.show();
  EXPECT_TRUE(dialog_control_as<QRadioButton>(&d, 1051)->isChecked());
  EXPECT_TRUE(lines_of(&d, 1054).isEmpty()) << "stored results are not shown at opening";
  for (const auto& [radio, value_panel] :
       {std::pair{-1, true}, {1053, false}, {1051, true}, {1053, false}, {1052, true}}) {
    if (radio > 0) click(&d, radio);
    expect_value_panel(&d, value_panel);
    if (radio == 1053) click(&d, 1062);  // a comparison shows the results again
  }
  EXPECT_EQ(lines_of(&d, 1054), QStringList{"1234"});
  set_text(&d, 1068, "$07a2");
  click(&d, 1050);
  EXPECT_EQ(lines_of(&d, 1054), QStringList{"07A2"});

  auto* names = dialog_control_as<QComboBox>(&d, 1000);
  EXPECT_EQ(names->count(), 2);
  EXPECT_EQ(names->currentIndex(), -1);
  names->setCurrentIndex(0);
  EXPECT_EQ(names->currentText(), "alpha");  // sorted without regard to case
  EXPECT_EQ(texts_of(&d, {1057, 1058}), "$20|");
  for (int id : {1057, 1058}) EXPECT_TRUE(dialog_control_as<QLineEdit>(&d, id)->isReadOnly());
  clear_finder();
}

// The finder blocks its caller but not the other windows; a second call only raises it.
TEST(CheatFinderDialog, ExecLeavesOtherWindowsUsable) {
  int second = -1;
  bool modal_seen = true;
  QObject test_scope;
  QTimer::singleShot(0, &test_scope, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* d = dynamic_cast<CheatFinderDialog*>(w);
      if (!d || !d->isVisible()) continue;
      modal_seen = QApplication::activeModalWidget() != nullptr;
      // A second finder, had one opened, is closed so that the second call returns.
      QTimer::singleShot(100, &test_scope, [d] {
        for (QWidget* other : QApplication::topLevelWidgets()) {
          if (other != d && dynamic_cast<CheatFinderDialog*>(other)) other->close();
        }
      });
      second = cheat_finder_dialog_exec(nullptr);
      click(d, kIdOk);
      break;
    }
  });
  EXPECT_EQ(cheat_finder_dialog_exec(nullptr), kIdOk);
  EXPECT_EQ(second, 0);
  EXPECT_FALSE(modal_seen);
}

std::atomic<uint32_t> g_pad{0};
uint32_t pad_data(uint32_t port) { return port == 1 ? g_pad.load() : 0; }

// One press and release of A, each seen for a few frames: the cartridge takes a life and adds
// a point.
void press_a() {
  for (const uint32_t pad : {1u, 0u}) {
    g_pad = pad;
    for (int i = 0; i <= 3; ++i) emulation_call([] {});
  }
}

// The cheat_target cartridge: LIVES at $0310 (3, one less per press), SCORE at $0311.
TEST_F(MainWindowTest, CheatFinderFindsAndSetsTheLivesOfARunningGame) {
  clear_finder();
  g_pad = 0;
  input_plugin.get_data = pad_data;
  if (!start_cartridge(*window, "cheat_target.nes")) GTEST_SKIP() << "no test cartridge";
  ASSERT_TRUE(wait_until([] { return game_byte(0x0300) == 1; }));

  CheatFinderDialog d;
  d.show();
  set_text(&d, 1068, "3");
  click(&d, 1050);
  EXPECT_TRUE(lines_of(&d, 1054).contains("0310"));
  press_a();
  set_text(&d, 1068, "2");
  click(&d, 1061);
  click(&d, 1050);
  EXPECT_EQ(lines_of(&d, 1054), QStringList{"0310"});

  click(&d, 1053);
  press_a();
  click(&d, 1067);  // "<"
  EXPECT_EQ(lines_of(&d, 1054), QStringList{"0310"});

  dialog_control_as<QListWidget>(&d, 1054)->item(0)->setSelected(true);
  set_text(&d, 1056, "Lives");
  click(&d, 1055);
  auto* names = dialog_control_as<QComboBox>(&d, 1000);
  ASSERT_EQ(names->count(), 1);
  names->setCurrentIndex(0);
  EXPECT_EQ(texts_of(&d, {1057, 1058}), "$310|$01");
  set_text(&d, 1060, "265");  // low 8 bits: 9
  click(&d, 1059);
  EXPECT_EQ(game_byte(0x0310), 9);
  EXPECT_EQ(text_of(&d, 1058), "$09");
  clear_finder();
}

}  // namespace
