// Running games from the window: the start-up sequence, the command line, Load ROM, the commands
// brought onto the emulation thread, the picture in the client area and a faulting plug-in.
#include <QDialog>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <filesystem>

#include "cart/mapper.h"
#include "dialog_test_support.h"
#include "machine/profile.h"
#include "shell/plugin_loader.h"
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

// A first start without settings: the notice, then for each plug-in a request and the Options
// dialog (cancelled here), and the fallback to the do-nothing plug-ins.
TEST_F(MainWindowTest, FirstStartAsksForEachPluginThroughTheOptionsDialog) {
  // Without a plug-in to list, the dialog would end the program.
  if (!fs::exists(fs::path(VANTRELL_PLUGIN_DIR) / "video_qt.so")) GTEST_SKIP() << "no plug-ins";
  registry_set_string(kRegistryPlugins, "Video", "");
  registry_set_string(kRegistryPlugins, "Input", "");
  const fs::path saved = fs::current_path();
  std::error_code ec;
  fs::current_path(VANTRELL_PLUGIN_DIR, ec);  // where the dialog finds the shipped plug-ins
  int dialogs = 0;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      ++dialogs;
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
  EXPECT_NE(boxes[1].text.find("a video plugin"), std::string::npos) << boxes[1].text;
  EXPECT_NE(boxes[2].text.find("a Input plugin"), std::string::npos) << boxes[2].text;
  EXPECT_EQ(dialogs, 2);
}

// The usual start: the stored plug-ins are loaded without a question, the ROM named by the command
// line's first word runs, and the shipped video plug-in's picture fills the client area until the
// game ends.
TEST_F(MainWindowTest, StoredPluginsShowTheCommandLineRomInTheClientArea) {
  const std::string dir = VANTRELL_PLUGIN_DIR;
  if (demo_missing() || !fs::exists(dir + "/video_qt.so")) GTEST_SKIP() << "no demo or plug-ins";
  registry_set_string(kRegistryPlugins, "Video", (dir + "/video_qt.so").c_str());
  registry_set_string(kRegistryPlugins, "Input", (dir + "/input_keyboard.so").c_str());
  window->show();
  choose(ID_ZOOM_200);
  startup_run(*window, "  " + rom_path("demo.nes") + " --fast");
  video_plugin_path[0] = input_plugin_path[0] = 0;
  EXPECT_EQ(captions(), std::vector<std::string>{"Important!"});

  const auto lit = [](const QImage& image) {  // pixels brighter than near black
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const auto* p = reinterpret_cast<const QRgb*>(rgb.constBits());
    return std::count_if(p, p + rgb.width() * rgb.height(), [](QRgb c) { return qGray(c) > 16; });
  };
  ScreenWidget* screen = window->screen();
  ASSERT_TRUE(wait_until([&] {
    const QImage image = screen->image();
    return image.size() == QSize(512, 480) && lit(image) > 2000;
  }));
  EXPECT_GT(lit(screen->grab().toImage()), 2000);  // as painted

  choose(ID_FILE_FREEROM);
  EXPECT_TRUE(wait_until([&] { return screen->image().isNull(); }));
}

// Cancelled, the game goes on; a chosen file ends it and is opened (here one that is missing).
TEST_F(MainWindowTest, LoadRomAsksInTheRomFolderAndCancelKeepsTheGame) {
  registry_set_string(kRegistryOptions, "RomDirectory", VANTRELL_ROM_DIR);
  if (!start_cartridge(*window, "demo.nes")) GTEST_SKIP() << "no demo cartridge";
  test_host().script_file_dialog(std::nullopt);
  test_host().script_file_dialog(std::string(VANTRELL_ROM_DIR) + "/missing.nes");

  choose(ID_FILE_LOADROM);
  EXPECT_EQ(emu_stop.load(), 0);
  choose(ID_FILE_LOADROM);
  ASSERT_TRUE(wait_until([] { return !emulation_running(); }));
  EXPECT_EQ(captions(), std::vector<std::string>{"File I/O Error"});
  const auto calls = test_host().file_dialog_calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].title + "|" + calls[0].filter + "|" + calls[0].directory,
            "Vantrell - Load ROM Image|NES ROM Image (*.nes);;All Files (*.*)|" VANTRELL_ROM_DIR);
}

TEST_F(MainWindowTest, MirroringItemsChangeTheRunningGamesNameTables) {
  if (!start_cartridge(*window, "demo.nes")) GTEST_SKIP() << "no demo cartridge";
  // Which of the two name-table pages each of the four windows shows.
  const std::pair<int, std::string> cases[] = {{ID_MIRRORING_HORIZONTAL, "0011"},
                                               {ID_MIRRORING_VERTICAL, "0101"},
                                               {ID_MIRRORING_SINGLELOW, "0000"},
                                               {ID_MIRRORING_SINGLEHIGH, "1111"}};
  const uint8_t* page[2] = {};
  for (const auto& [id, expected] : cases) {
    choose(id);
    PpuPageTable pages{};
    ASSERT_TRUE(emulation_call([&] { pages = ppu_pages; }));
    if (id == ID_MIRRORING_HORIZONTAL) {  // first: its windows 0 and 2 name the two pages
      page[0] = pages.nametable_page[0];
      page[1] = pages.nametable_page[2];
    }
    std::string shown;
    for (const uint8_t* p : pages.nametable_page)
      shown += p == page[0] ? '0' : p == page[1] ? '1' : '?';
    EXPECT_EQ(shown, expected) << id;
  }
}

// Settings > Hardware Accuracy is kept, marked in the next window, and starts the running game
// again in the chosen profile.
TEST_F(MainWindowTest, HardwareAccuracyRestartsTheGameInTheChosenProfile) {
  if (!start_cartridge(*window, "demo.nes")) GTEST_SKIP() << "no demo cartridge";
  for (const Profile expected : {Profile::Hardware, Profile::Classic}) {
    choose(ID_SETTINGS_HARDWARE);
    char text[kRegistryStringSize] = "";
    ASSERT_EQ(registry_get_string(kRegistryOptions, "Profile", text), 0);
    EXPECT_STREQ(text, profile_name(expected));
    Profile running = Profile::Classic;
    EXPECT_TRUE(wait_until([&] { return emulation_call([&] { running = machine_profile; }); }));
    EXPECT_EQ(running, expected);
  }
  // The next window starts with the stored choice.
  registry_set_string(kRegistryOptions, "Profile", "hardware");
  window->stop_game();
  window = std::make_unique<MainWindow>();
  EXPECT_TRUE(checked(ID_SETTINGS_HARDWARE));
  EXPECT_EQ(profile_choice.exchange(Profile::Classic), Profile::Hardware);
  registry_set_string(kRegistryOptions, "Profile", "classic");
}

// Catching the fault and its message are the emulation thread's; the window shows the message
// from the user-interface thread, stays, and runs the next game.
TEST_F(MainWindowTest, AFaultingVideoPluginEndsTheGameButNotTheProgram) {
  if (demo_missing()) GTEST_SKIP() << "no demo cartridge";
  video_plugin.render = [] { std::raise(SIGSEGV); };
  window->show();
  window->start_game(rom_path("demo.nes").c_str());
  ASSERT_TRUE(
      wait_until([] { return !test_host().shown_boxes().empty() && !emulation_running(); }));
  const auto boxes = test_host().shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(boxes[0].on_ui_thread);
  EXPECT_TRUE(window->isVisible());
  plugin_null_video();
  EXPECT_TRUE(start_cartridge(*window, "demo.nes"));
}

}  // namespace
