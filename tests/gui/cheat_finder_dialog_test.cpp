#include "shell/qt/dialogs/cheat_finder_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTimer>
#include <filesystem>

#include "gui/dialog_test_support.h"
#include "main_window_test_support.h"

namespace {

constexpr int kComparisonIds[] = {1062, 1063, 1064, 1065, 1066, 1067};

void clear_finder() {
  cheat_finder.result_count = 0;
  cheat_finder.named_count = 0;
  cheat_finder.has_snapshot = false;
}

QStringList lines(QWidget* d) {
  auto* list = dialog_control_as<QListWidget>(d, 1054);
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

QString text_of(QWidget* d, int id) { return dialog_control_as<QLineEdit>(d, id)->text(); }
void set_text(QWidget* d, int id, const char* text) {
  dialog_control_as<QLineEdit>(d, id)->setText(QString::fromUtf8(text));
}

// The value search panel (frame, box, Find) or the comparisons (frame, six buttons) is shown.
void expect_panel(CheatFinderDialog* d, bool by_change) {
  EXPECT_EQ(d->findChild<QGroupBox*>("groupSearchVal")->isVisible(), !by_change);
  EXPECT_EQ(dialog_control(d, 1068)->isVisible(), !by_change);
  EXPECT_EQ(dialog_control(d, 1050)->isVisible(), !by_change);
  EXPECT_EQ(d->findChild<QGroupBox*>("groupSearchType")->isVisible(), by_change);
  for (int id : kComparisonIds) EXPECT_EQ(dialog_control(d, id)->isVisible(), by_change) << id;
}

// Without a game: the opening state, the panels, a search by address, and names that show their
// address but no value (there is no memory to read).
TEST(CheatFinderDialog, OpensByValueWithTheNamesAndSearchesByAddress) {
  gui_app();
  clear_finder();
  finder_set_single(0x1234);
  finder_add_named(0x0010, "beta");
  finder_add_named(0x0020, "Alpha");
  CheatFinderDialog d;
  d.show();
  EXPECT_EQ(d.windowTitle(), "Vantrell Cheat Finder");
  EXPECT_TRUE(dialog_control_as<QRadioButton>(&d, 1051)->isChecked());
  EXPECT_TRUE(lines(&d).isEmpty()) << "stored results are not shown at opening";
  expect_panel(&d, false);
  auto* names = dialog_control_as<QComboBox>(&d, 1000);
  ASSERT_EQ(names->count(), 2);
  EXPECT_EQ(names->itemText(0), "Alpha");
  EXPECT_EQ(names->itemData(0).toInt(), 1);
  EXPECT_EQ(names->currentIndex(), -1);
  EXPECT_TRUE(dialog_control_as<QLineEdit>(&d, 1057)->isReadOnly());
  EXPECT_TRUE(dialog_control_as<QLineEdit>(&d, 1058)->isReadOnly());

  click(&d, 1053);
  expect_panel(&d, true);
  click(&d, 1062);  // no game: the results stay as they are
  EXPECT_EQ(lines(&d), QStringList{"1234"});
  click(&d, 1052);
  expect_panel(&d, false);

  set_text(&d, 1068, "$07a2");
  click(&d, 1050);
  EXPECT_EQ(lines(&d), QStringList{"07A2"});

  click(&d, 1051);
  set_text(&d, 1068, "5");
  click(&d, 1050);  // no game: nothing searched
  EXPECT_EQ(lines(&d), QStringList{"07A2"});

  names->setCurrentIndex(0);
  EXPECT_EQ(text_of(&d, 1057), "$20");
  EXPECT_EQ(text_of(&d, 1058), "");
  click(&d, 1059);  // no game: nothing to write to
  click(&d, kIdOk);
  EXPECT_EQ(d.result(), kIdOk);
  clear_finder();
}

// The finder blocks its caller but not the other windows; a second call only raises it.
TEST(CheatFinderDialog, ExecLeavesOtherWindowsUsable) {
  gui_app();
  int second = -1;
  bool modal_seen = true;
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* d = dynamic_cast<CheatFinderDialog*>(w);
      if (!d || !d->isVisible()) continue;
      modal_seen = QApplication::activeModalWidget() != nullptr;
      second = cheat_finder_dialog_exec(nullptr);
      click(d, kIdOk);
    }
  });
  EXPECT_EQ(cheat_finder_dialog_exec(nullptr), kIdOk);
  EXPECT_EQ(second, 0);
  EXPECT_FALSE(modal_seen);
}

std::atomic<uint32_t> g_pad{0};
uint32_t pad_data(uint32_t port) { return port == 1 ? g_pad.load() : 0; }

// Lets the running game see a few frames.
void frames(int n) {
  for (int i = 0; i <= n; ++i) emulation_call([] {});
}

// One press and release of A: the cartridge takes a life and adds a point.
void press_a() {
  g_pad = 1;
  frames(3);
  g_pad = 0;
  frames(3);
}

int game_byte(uint32_t address) {
  int value = -1;
  emulation_call([&] { value = finder_read_byte(address); });
  return value;
}

// The cheat_target cartridge: LIVES at $0310 (3, one less per press), SCORE at $0311.
TEST_F(MainWindowTest, CheatFinderFindsAndSetsTheLivesOfARunningGame) {
  const std::string rom = rom_path("cheat_target.nes");
  if (!std::filesystem::exists(rom)) GTEST_SKIP() << "no test cartridge";
  clear_finder();
  g_pad = 0;
  input_plugin.get_data = pad_data;
  window->start_game(rom.c_str());
  ASSERT_TRUE(wait_until([] { return game_byte(0x0300) == 1; }));

  CheatFinderDialog d;
  d.show();
  set_text(&d, 1068, "3");
  click(&d, 1050);
  EXPECT_TRUE(lines(&d).contains("0310"));
  press_a();
  set_text(&d, 1068, "2");
  click(&d, 1061);
  click(&d, 1050);
  EXPECT_EQ(lines(&d), QStringList{"0310"});

  click(&d, 1053);
  press_a();
  click(&d, 1067);  // "<"
  EXPECT_EQ(lines(&d), QStringList{"0310"});

  auto* list = dialog_control_as<QListWidget>(&d, 1054);
  list->item(0)->setSelected(true);
  set_text(&d, 1056, "Lives");
  click(&d, 1055);
  auto* names = dialog_control_as<QComboBox>(&d, 1000);
  ASSERT_EQ(names->count(), 1);
  names->setCurrentIndex(0);
  EXPECT_EQ(text_of(&d, 1057), "$310");
  EXPECT_EQ(text_of(&d, 1058), "$01");
  set_text(&d, 1060, "265");  // low 8 bits: 9
  click(&d, 1059);
  EXPECT_EQ(game_byte(0x0310), 9);
  EXPECT_EQ(text_of(&d, 1058), "$09");
  click(&d, kIdOk);
  clear_finder();
}

}  // namespace
