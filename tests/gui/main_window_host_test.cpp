// The Qt host: the settings store over QSettings, the file dialogs' contract, and message boxes
// that the emulation thread asks for.
#include <QDir>
#include <QFile>
#include <thread>

#include "main_window_test_support.h"
#include "shell/registry.h"

namespace {

// Plain round trips are the options dialog's tests; these are the store's own rules.
TEST(QtHostSettings, ValuesRoundTripThroughTheSettingsFile) {
  registry_set_string(kRegistryPlugins, "Video", "video_qt.so");
  registry_set_string(kRegistryOptions, "RomDirectory", "/home/player/roms");
  registry_set_dword(kRegistryOptions, "Palette", 11);
  registry_set_dword(kRegistryOptions, "Big", 0xFFFFFFFFu);
  uint32_t number = 0;
  ASSERT_EQ(registry_get_dword(kRegistryOptions, "Big", &number), 0);
  EXPECT_EQ(number, 0xFFFFFFFFu);

  // The same name under the other key is another value, and a string is not a number.
  char text[kRegistryStringSize];
  EXPECT_EQ(registry_get_string(kRegistryOptions, "Video", text), -1);
  EXPECT_EQ(registry_get_dword(kRegistryPlugins, "Palette", &number), -1);
  EXPECT_EQ(registry_get_dword(kRegistryOptions, "RomDirectory", &number), -1);

  // The store is the INI file in the relocated configuration folder.
  const QString file = QtHost::settings_file();
  EXPECT_TRUE(file.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME"))) << file.toStdString();
  EXPECT_TRUE(QFile::exists(file));
}

TEST(QtHostSettings, StringsThatDoNotFitTheReadBufferReadAsAbsent) {
  std::string out;
  const struct {
    size_t length;
    bool readable;
  } cases[] = {{0, true}, {254, true}, {255, false}, {300, false}};
  for (const auto& c : cases) {
    const std::string text(c.length, 'd');
    test_host().settings_set_string(kRegistryOptions, "StateDirectory", text.c_str());
    EXPECT_EQ(test_host().settings_get_string(kRegistryOptions, "StateDirectory", &out), c.readable)
        << c.length;
    if (c.readable) {
      EXPECT_EQ(out, text);
    }
  }
  EXPECT_FALSE(test_host().settings_get_string(kRegistryOptions, "NeverWritten", &out));
}

TEST(QtHostDialogs, FileDialogsAnswerWithANewPathBuffer) {
  test_host().clear_records();
  const FileFilter filters[] = {{"NES ROM Image (*.nes)", "*.nes"}, {"Save States", "*.ss0;*.ss1"}};
  test_host().script_file_dialog(std::string("/roms/game.nes"));
  test_host().script_file_dialog(std::string(300, 'p'));
  test_host().script_file_dialog(std::nullopt);

  char* path = test_host().file_open_dialog("Open", filters, 2, "/roms");
  ASSERT_NE(path, nullptr);
  EXPECT_STREQ(path, "/roms/game.nes");
  delete[] path;
  // Too long for the 260-byte buffer, and cancelled.
  EXPECT_EQ(test_host().file_save_dialog("Save", filters, 2, ""), nullptr);
  EXPECT_EQ(test_host().file_open_dialog("Open", filters, 2, nullptr), nullptr);

  const auto calls = test_host().file_dialog_calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].title, "Open");
  EXPECT_EQ(calls[0].filter, "NES ROM Image (*.nes);;Save States (*.ss0 *.ss1)");
  EXPECT_EQ(calls[0].directory, "/roms");
  EXPECT_EQ(calls[2].directory, QDir::currentPath().toStdString());
}

TEST(QtHostDialogs, BoxesFromAnotherThreadAreShownOnTheUserInterfaceThread) {
  test_host().clear_records();
  std::atomic<bool> done = false;
  MessageResult answer = MessageResult::Cancel;
  std::thread emulation([&] {
    answer = host().message_box("Failed To Open ROM Image", "File I/O Error", MessageButtons::YesNo,
                                MessageIcon::Exclamation, true);
    done = true;
  });
  ASSERT_TRUE(wait_until([&] { return done.load(); }));
  emulation.join();

  EXPECT_EQ(answer, MessageResult::Yes);
  const auto boxes = test_host().shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Failed To Open ROM Image");
  EXPECT_EQ(boxes[0].caption, "File I/O Error");
  EXPECT_TRUE(boxes[0].on_ui_thread);
}

}  // namespace
