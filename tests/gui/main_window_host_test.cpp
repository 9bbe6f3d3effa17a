// The Qt host: the settings store over QSettings and the file dialogs' contract.
#include <QDir>
#include <QFile>

#include "main_window_test_support.h"
#include "shell/registry.h"

namespace {

// Plain round trips are the Options dialog's tests; these are the store's own rules.
TEST(QtHostSettings, KeysAndKindsAreKeptApartInTheSettingsFile) {
  registry_set_string(kRegistryPlugins, "Video", "video_qt.so");
  // Read back from the file after a restart, every value is text: numbers too.
  registry_set_string(kRegistryOptions, "Big", "4294967295");
  uint32_t number = 0;
  ASSERT_EQ(registry_get_dword(kRegistryOptions, "Big", &number), 0);
  EXPECT_EQ(number, 0xFFFFFFFFu);
  // The same name under the other key is another value, and a string is not a number.
  char text[kRegistryStringSize];
  EXPECT_EQ(registry_get_string(kRegistryOptions, "Video", text), -1);
  EXPECT_EQ(registry_get_dword(kRegistryPlugins, "Big", &number), -1);
  EXPECT_EQ(registry_get_dword(kRegistryPlugins, "Video", &number), -1);

  // The store is the INI file in the relocated configuration folder.
  const QString file = QtHost::settings_file();
  EXPECT_TRUE(file.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME"))) << file.toStdString();
  EXPECT_TRUE(QFile::exists(file));
}

// The read buffer holds 255 bytes, the terminating NUL included.
TEST(QtHostSettings, StringsThatDoNotFitTheReadBufferReadAsAbsent) {
  std::string out;
  for (const size_t length : {0, 254, 255, 300}) {
    const std::string text(length, 'd');
    test_host().settings_set_string(kRegistryOptions, "StateDirectory", text.c_str());
    const bool read = test_host().settings_get_string(kRegistryOptions, "StateDirectory", &out);
    EXPECT_EQ(read ? out : "<absent>", length < 255 ? text : "<absent>") << length;
  }
  EXPECT_FALSE(test_host().settings_get_string(kRegistryOptions, "NeverWritten", &out));
}

TEST(QtHostDialogs, FileDialogsAnswerWithANewPathBuffer) {
  test_host().clear_records();
  const FileFilter filters[] = {{"NES ROM Image (*.nes)", "*.nes"}, {"Save States", "*.ss0;*.ss1"}};
  test_host().script_file_dialog(std::string("/roms/game.nes"));
  test_host().script_file_dialog(std::string(300, 'p'));
  test_host().script_file_dialog(std::nullopt);

  const std::unique_ptr<char[]> path(test_host().file_open_dialog("Open", filters, 2, "/roms"));
  EXPECT_STREQ(path.get(), "/roms/game.nes");
  // Too long for the 260-byte buffer, and cancelled.
  EXPECT_EQ(test_host().file_save_dialog("Save", filters, 2, ""), nullptr);
  EXPECT_EQ(test_host().file_open_dialog("Open", filters, 2, nullptr), nullptr);

  const auto calls = test_host().file_dialog_calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].filter, "NES ROM Image (*.nes);;Save States (*.ss0 *.ss1)");
  EXPECT_EQ(calls[0].directory, "/roms");
  EXPECT_EQ(calls[2].directory, QDir::currentPath().toStdString());
}

}  // namespace
