// Running games from the window: the start-up sequence, the command line, Load ROM and Free ROM,
// the commands brought onto the emulation thread, and the picture in the client area.
#include <QAbstractButton>
#include <QDialog>
#include <QListWidget>
#include <QTimer>
#include <filesystem>

#include "cart/mapper.h"
#include "main_window_test_support.h"
#include "shell/plugin_loader.h"
#include "shell/qt/dialogs/dialog_ids.h"
#include "shell/qt/menu_table.h"
#include "shell/qt/screen_widget.h"
#include "shell/qt/startup.h"
#include "shell/registry.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> captions() {
  std::vector<std::string> out;
  for (const auto& box : test_host().shown_boxes()) out.push_back(box.caption);
  return out;
}

TEST(StartupCommandLine, TheFirstSpaceDelimitedTokenNamesTheRom) {
  const struct {
    const char* line;
    const char* rom;
  } cases[] = {{"", ""},
               {"   ", ""},
               {"game.nes", "game.nes"},
               {"game.nes --fast", "game.nes"},
               {"  /roms/my game.nes", "/roms/my"}};
  for (const auto& c : cases) EXPECT_EQ(startup_rom_token(c.line), c.rom) << c.line;
}

// A first start without settings: the notice, a request for each plug-in with the Options dialog
// (cancelled here), and the fallback to the do-nothing plug-ins.
TEST_F(MainWindowTest, FirstStartAsksForPluginsThroughTheOptionsDialog) {
  // Without a plug-in to list, the dialog would end the program.
  if (!fs::exists(fs::path(VANTRELL_PLUGIN_DIR) / "video_qt.so")) GTEST_SKIP() << "no plug-ins";
  registry_set_string(kRegistryPlugins, "Video", "");
  registry_set_string(kRegistryPlugins, "Input", "");
  const fs::path saved = fs::current_path();
  // The shipped plug-ins are found in the current folder.
  std::error_code ec;
  fs::current_path(VANTRELL_PLUGIN_DIR, ec);

  std::vector<std::string> video_list;
  int dialogs = 0;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    ++dialogs;
    if (auto* list = qobject_cast<QListWidget*>(dialog_control(dialog, 1004))) {
      for (int i = 0; i < list->count(); ++i)
        video_list.push_back(list->item(i)->text().toStdString());
    }
    if (auto* cancel = qobject_cast<QAbstractButton*>(dialog_control(dialog, 2))) {
      cancel->click();
    } else {
      dialog->reject();
    }
  });
  closer.start(20);
  window->show();
  startup_run(*window, "");
  closer.stop();
  fs::current_path(saved, ec);

  const auto boxes = test_host().shown_boxes();
  ASSERT_EQ(captions(), (std::vector<std::string>{"Important!", "Error", "Error",
                                                  "Error in Plugin!", "Error in Plugin!"}));
  EXPECT_EQ(boxes[0].text, kStartupNotice);
  EXPECT_EQ(boxes[0].icon, MessageIcon::Information);
  EXPECT_EQ(boxes[1].text,
            "You have not yet selected a video plugin, Please choose one in the following options "
            "dialog.");
  EXPECT_EQ(boxes[2].text,
            "You have not yet selected a Input plugin, Please choose one in the following options "
            "dialog.");
  EXPECT_EQ(dialogs, 2);
  EXPECT_NE(std::find(video_list.begin(), video_list.end(), "video_qt.so"), video_list.end());
  EXPECT_EQ(emu_stop.load(), 1);  // no ROM on the command line
}

TEST_F(MainWindowTest, RomOnTheCommandLineRunsUntilFreeRom) {
  if (demo_missing()) GTEST_SKIP() << "no demo cartridge";
  registry_set_string(kRegistryPlugins, "Video", "none.so");
  registry_set_string(kRegistryPlugins, "Input", "none.so");
  startup_run(*window, rom_path("demo.nes") + " and more words");
  ASSERT_TRUE(wait_until([] { return emu_stop == 0; }));

  choose(ID_FILE_FREEROM);
  EXPECT_EQ(emu_stop.load(), 1);
  EXPECT_FALSE(emulation_running());
}

TEST_F(MainWindowTest, LoadRomCancelledKeepsTheGameAndAChosenRomReplacesIt) {
  if (demo_missing()) GTEST_SKIP() << "no demo cartridge";
  registry_set_string(kRegistryOptions, "RomDirectory", VANTRELL_ROM_DIR);
  window->start_game(rom_path("demo.nes").c_str());
  ASSERT_TRUE(wait_until([] { return emu_stop == 0; }));
  EmulationThread* first = emu_thread;

  test_host().script_file_dialog(std::nullopt);
  choose(ID_FILE_LOADROM);
  EXPECT_EQ(emu_stop.load(), 0);
  EXPECT_EQ(emu_thread, first);
  const auto calls = test_host().file_dialog_calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].title, "Vantrell - Load ROM Image");
  EXPECT_EQ(calls[0].filter, "NES ROM Image (*.nes);;All Files (*.*)");
  EXPECT_EQ(calls[0].directory, VANTRELL_ROM_DIR);

  // A file that cannot be opened ends the old game and reports from the new thread.
  test_host().script_file_dialog(std::string(VANTRELL_ROM_DIR) + "/missing.nes");
  choose(ID_FILE_LOADROM);
  ASSERT_TRUE(wait_until([] { return !emulation_running(); }));
  const auto boxes = test_host().shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Failed To Open ROM Image");
  EXPECT_TRUE(boxes[0].on_ui_thread);

  test_host().script_file_dialog(rom_path("demo.nes"));
  choose(ID_FILE_LOADROM);
  EXPECT_TRUE(wait_until([] { return emu_stop == 0; }));
}

TEST_F(MainWindowTest, MirroringItemsChangeTheRunningGamesNameTables) {
  if (demo_missing()) GTEST_SKIP() << "no demo cartridge";
  window->start_game(rom_path("demo.nes").c_str());
  ASSERT_TRUE(wait_until([] { return emu_stop == 0; }));
  // Which of the four name-table windows share a page: {0 with 1, 0 with 2, 0 with 3}.
  const struct {
    int id;
    bool same01, same02, same03;
  } cases[] = {{ID_MIRRORING_HORIZONTAL, true, false, false},
               {ID_MIRRORING_VERTICAL, false, true, false},
               {ID_MIRRORING_SINGLELOW, true, true, true},
               {ID_MIRRORING_SINGLEHIGH, true, true, true}};
  uint8_t* low_page = nullptr;
  for (const auto& c : cases) {
    choose(c.id);
    PpuPageTable pages{};
    ASSERT_TRUE(emulation_call([&] { pages = ppu_pages; }));
    uint8_t* const* nt = pages.nametable_page;
    EXPECT_EQ(nt[0] == nt[1], c.same01) << c.id;
    EXPECT_EQ(nt[0] == nt[2], c.same02) << c.id;
    EXPECT_EQ(nt[0] == nt[3], c.same03) << c.id;
    if (c.id == ID_MIRRORING_SINGLELOW) low_page = nt[0];
    if (c.id == ID_MIRRORING_SINGLEHIGH) {
      EXPECT_NE(nt[0], low_page);
    }
  }
}

TEST_F(MainWindowTest, TheDemosPictureFillsTheClientArea) {
  if (demo_missing()) GTEST_SKIP() << "no demo cartridge";
  install_test_video_plugin();
  window->show();
  choose(ID_ZOOM_200);
  window->start_game(rom_path("demo.nes").c_str());
  ASSERT_TRUE(wait_until([] { return test_video_renders() > 60; }));
  ASSERT_TRUE(wait_until([&] { return window->client_size() == QSize(512, 480); }));
  QCoreApplication::processEvents();

  const QImage shot = window->grab().toImage();
  if (const char* file = std::getenv("VANTRELL_GUI_SCREENSHOT")) shot.save(file);
  // The picture is scaled into the whole client area, below the menu bar.
  const QImage client = window->screen()->grab().toImage();
  ASSERT_EQ(client.size(), QSize(512, 480));
  int lit = 0;
  for (int y = 0; y < client.height(); y += 4) {
    for (int x = 0; x < client.width(); x += 4) lit += qGray(client.pixel(x, y)) > 16;
  }
  EXPECT_GT(lit, 100);

  // When the game ends the client area goes back to black.
  choose(ID_FILE_FREEROM);
  ASSERT_TRUE(wait_until([&] { return window->screen()->image().isNull(); }));
}

TEST_F(MainWindowTest, ClosingTheWindowStopsTheGame) {
  if (demo_missing()) GTEST_SKIP() << "no demo cartridge";
  window->show();
  window->start_game(rom_path("demo.nes").c_str());
  ASSERT_TRUE(wait_until([] { return emu_stop == 0; }));
  choose(ID_FILE_EXIT);
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(emulation_running());
}

// A video plug-in that faults while the game runs: the run ends with the fault message, shown by
// the window, and the program goes on to run the next game.
TEST_F(MainWindowTest, AFaultingVideoPluginEndsTheGameButNotTheProgram) {
  if (demo_missing()) GTEST_SKIP() << "no demo cartridge";
  std::snprintf(video_plugin_path, kPluginPathSize, "%s", VANTRELL_FAULTING_PLUGIN);
  plugin_load_video();
  video_plugin_path[0] = 0;
  window->show();
  window->start_game(rom_path("demo.nes").c_str());
  ASSERT_TRUE(wait_until([] { return !test_host().shown_boxes().empty(); }));
  ASSERT_TRUE(wait_until([] { return !emulation_running(); }));
  const auto boxes = test_host().shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "An error has occured in emulation...Stopping Execution!");
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_TRUE(boxes[0].on_ui_thread);
  EXPECT_EQ(emu_stop.load(), 1);
  EXPECT_TRUE(window->isVisible());

  install_test_video_plugin();
  window->start_game(rom_path("demo.nes").c_str());
  EXPECT_TRUE(wait_until([] { return test_video_renders() > 10; }));
}

}  // namespace
