// The window's desktop conveniences: File > Recent ROMs, dropping a cartridge on the window, and
// an exit request (what a signal makes).

#include <QDialog>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>

#include "dialog_test_support.h"
#include "main_window_test_support.h"
#include "shell/qt/menu_table.h"

namespace {

using Paths = std::vector<std::string>;

QList<QAction*> recent_entries(const MainWindow& w) {
  return w.action(ID_FILE_RECENT)->menu()->actions();
}

// Loads go to the front, once each; the list outlives the window; an entry whose file is gone is
// dropped with a message instead of being loaded.
TEST_F(MainWindowTest, RecentRomsKeepTheLoadsAndDropAMissingFile) {
  if (demo_missing()) GTEST_SKIP() << "no demo cartridge";
  const std::string demo = rom_path("demo.nes");
  QTemporaryDir dir;
  const std::string copy = dir.filePath("copy.nes").toStdString();
  ASSERT_TRUE(QFile::copy(QString::fromStdString(demo), QString::fromStdString(copy)));
  EXPECT_FALSE(window->action(ID_FILE_RECENT)->isEnabled());
  for (const std::string& rom : {demo, copy, demo}) window->start_game(rom.c_str());
  EXPECT_EQ(recent_roms(), (Paths{demo, copy}));

  MainWindow next;
  ASSERT_EQ(recent_entries(next).size(), 2);
  EXPECT_EQ(recent_entries(next)[1]->text().toStdString(), "&2 " + copy);

  QFile::remove(QString::fromStdString(copy));
  choose(ID_FILE_FREEROM);
  recent_entries(*window)[1]->trigger();
  const auto boxes = test_host().shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(
      boxes[0].caption + ": " + boxes[0].text,
      "File I/O Error: The ROM Image could not be found and was removed from the list: " + copy);
  EXPECT_EQ(boxes[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(recent_roms(), Paths{demo});
  EXPECT_FALSE(emulation_running());
  ASSERT_EQ(recent_entries(*window).size(), 1);
  recent_entries(*window)[0]->trigger();
  EXPECT_TRUE(wait_until([] { return emu_stop == 0; }));
}

TEST_F(MainWindowTest, DroppingOneNesFileLoadsIt) {
  if (demo_missing()) GTEST_SKIP() << "no demo cartridge";
  QTemporaryDir dir;
  const QString rom = dir.filePath("Game.NES");  // the extension in any case
  ASSERT_TRUE(QFile::copy(QString::fromStdString(rom_path("demo.nes")), rom));
  const auto drop = [&](const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter({10, 10}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    return enter.isAccepted();
  };
  const QUrl game = QUrl::fromLocalFile(rom);
  EXPECT_FALSE(drop({QUrl::fromLocalFile(dir.filePath("notes.txt"))}));
  EXPECT_FALSE(drop({game, game}));
  EXPECT_FALSE(drop({QUrl("http://example.org/game.nes")}));
  EXPECT_FALSE(emulation_running());
  EXPECT_TRUE(drop({game}));
  EXPECT_TRUE(wait_until([] { return emu_stop == 0; }));
  EXPECT_EQ(recent_roms(), Paths{rom.toStdString()});
}

// What a signal does inside the program: the open dialog is cancelled, then Exit stops the game.
TEST_F(MainWindowTest, AnExitRequestCancelsTheOpenDialogAndStopsTheGame) {
  window->show();
  if (!start_cartridge(*window, "demo.nes")) GTEST_SKIP() << "no demo cartridge";
  ModalAnswer<QDialog> answer([&](QDialog*) { window->request_exit(); });
  choose(ID_HELP_ABOUT);  // returns once the dialog is cancelled
  EXPECT_EQ(answer.answered, 1);
  EXPECT_TRUE(wait_until([&] { return !window->isVisible(); }));
  EXPECT_FALSE(emulation_running());
}

}  // namespace
