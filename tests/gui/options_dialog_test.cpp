#include "shell/qt/dialogs/options_dialog.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <cstring>

#include "gui/dialog_test_support.h"
#include "machine/emulation.h"
#include "ppu/palettes.h"
#include "shell/registry.h"

namespace {

using Names = std::vector<std::string>;

std::string setting(const char* key, const char* name) {
  char text[kRegistryStringSize];
  return registry_get_string(key, name, text) == 0 ? text : "<absent>";
}

uint32_t palette_setting() {
  uint32_t value = 0xFFFFFFFF;
  registry_get_dword(kRegistryOptions, "Palette", &value);
  return value;
}

QString text(QWidget* dialog, int id) { return dialog_control_as<QLineEdit>(dialog, id)->text(); }

QStringList selected(QWidget* dialog, int id) {
  QStringList names;
  for (QListWidgetItem* item : dialog_control_as<QListWidget>(dialog, id)->selectedItems()) {
    names << item->text();
  }
  return names;
}

class OptionsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gui_app();
    registry_set_string(kRegistryOptions, "RomDirectory", "/roms");
    registry_set_string(kRegistryOptions, "StateDirectory", "/states");
    registry_set_string(kRegistryOptions, "BatteryDirectory", "/saves");
    registry_set_string(kRegistryPlugins, "Video", "b_video.so");
    registry_set_string(kRegistryPlugins, "Input", "a_input.so");
    registry_set_dword(kRegistryOptions, "Palette", 3);
    std::strcpy(video_plugin_path, "b_video.so");
    std::strcpy(input_plugin_path, "a_input.so");
    palette_index = 3;
    ppu_select_palette(3);
    emu_requests = 0;
  }
  void TearDown() override {
    emu_requests = 0;
    palette_index = 0;
    ppu_select_palette(0);
  }

  std::unique_ptr<OptionsDialog> open(Names video = {"a_video.so", "b_video.so"},
                                      Names input = {"a_input.so"}) {
    auto dialog = std::make_unique<OptionsDialog>();
    dialog->enumerate_plugins = [video, input](const char* export_name) {
      return std::strcmp(export_name, "FN_VIDEO_INIT") == 0 ? video : input;
    };
    dialog->quit = [this] { ++quits; };
    filled = dialog->fill();
    return dialog;
  }

  bool filled = false;
  int quits = 0;
};

// A list without a selection (the stored plug-in is no longer listed) stores an empty name.
TEST_F(OptionsDialogTest, OkRewritesEveryValueAndRequestsAReload) {
  std::strcpy(input_plugin_path, "gone.so");
  auto d = open();
  ASSERT_TRUE(filled);
  EXPECT_EQ(text(d.get(), 1000), "/roms");
  EXPECT_EQ(text(d.get(), 1002), "/states");
  EXPECT_EQ(text(d.get(), 1071), "/saves");
  EXPECT_EQ(selected(d.get(), 1004), QStringList{"b_video.so"});
  EXPECT_TRUE(selected(d.get(), 1005).isEmpty());
  EXPECT_TRUE(dialog_control_as<QRadioButton>(d.get(), 1043)->isChecked());

  // Values changed behind the dialog's back are overwritten by what it shows.
  registry_set_string(kRegistryOptions, "StateDirectory", "elsewhere");
  dialog_control_as<QLineEdit>(d.get(), 1000)->setText("/new/roms");
  dialog_control_as<QLineEdit>(d.get(), 1071)->setText("");  // the default folder
  dialog_control_as<QListWidget>(d.get(), 1004)->setCurrentRow(0);
  click(d.get(), 1);

  EXPECT_EQ(d->result(), 1);
  EXPECT_EQ(setting(kRegistryOptions, "RomDirectory"), "/new/roms");
  EXPECT_EQ(setting(kRegistryOptions, "StateDirectory"), "/states");
  EXPECT_EQ(setting(kRegistryOptions, "BatteryDirectory"), "");
  EXPECT_EQ(setting(kRegistryPlugins, "Video"), "a_video.so");
  EXPECT_EQ(setting(kRegistryPlugins, "Input"), "");
  EXPECT_STREQ(video_plugin_path, "a_video.so");
  EXPECT_STREQ(input_plugin_path, "");
  EXPECT_EQ(palette_setting(), 3u);
  EXPECT_EQ(emu_requests.load(), REQUEST_RELOAD_PLUGINS);
}

// The buttons in palette order; the ids of 8 and 9 are swapped.
TEST_F(OptionsDialogTest, EachPaletteButtonStoresItsIndex) {
  const int ids[] = {1040, 1041, 1042, 1043, 1044, 1045, 1046, 1047, 1049, 1048, 1050, 1051};
  for (uint32_t index = 0; index < 12; ++index) {
    auto d = open();
    click(d.get(), ids[index]);
    click(d.get(), 1);
    EXPECT_EQ(palette_setting(), index) << ids[index];
    EXPECT_EQ(palette_index, index) << ids[index];
    EXPECT_EQ(current_palette, ppu_palettes[index]) << ids[index];
  }
}

TEST_F(OptionsDialogTest, PaletteAboveElevenSetsNoButtonAndIsWrittenBack) {
  palette_index = 12;
  ppu_select_palette(12);
  auto d = open();
  for (QRadioButton* button : d->findChildren<QRadioButton*>()) {
    EXPECT_FALSE(button->isChecked()) << button->objectName().toStdString();
  }
  click(d.get(), 1);
  EXPECT_EQ(palette_setting(), 12u);
  EXPECT_EQ(palette_index, 12u);
  EXPECT_EQ(current_palette, ppu_palettes[0]);
}

TEST_F(OptionsDialogTest, CancelAndTheCloseBoxStoreNothing) {
  for (const bool close_box : {false, true}) {
    auto d = open();
    dialog_control_as<QLineEdit>(d.get(), 1000)->setText("/other");
    dialog_control_as<QListWidget>(d.get(), 1004)->setCurrentRow(0);
    click(d.get(), 1047);
    if (close_box) {
      d->reject();
    } else {
      click(d.get(), 2);
    }
    EXPECT_EQ(d->result(), 2);
    EXPECT_EQ(setting(kRegistryOptions, "RomDirectory"), "/roms");
    EXPECT_EQ(setting(kRegistryPlugins, "Video"), "b_video.so");
    EXPECT_STREQ(video_plugin_path, "b_video.so");
    EXPECT_EQ(palette_setting(), 3u);
    EXPECT_EQ(palette_index, 3u);
    EXPECT_EQ(current_palette, ppu_palettes[3]);
    EXPECT_EQ(emu_requests.load(), 0);
  }
}

TEST_F(OptionsDialogTest, AnEmptyPluginListIsReportedAndEndsTheProgram) {
  const struct {
    Names video, input;
    const char* kind;
  } cases[] = {{{}, {"a_input.so"}, "video"}, {{"a_video.so"}, {}, "input"}};
  for (const auto& c : cases) {
    quits = 0;
    QString shown, caption;
    ModalAnswer<QMessageBox> answer([&](QMessageBox* box) {
      shown = box->text();
      caption = box->windowTitle();
      box->accept();
    });
    auto d = open(c.video, c.input);
    EXPECT_FALSE(filled);
    EXPECT_EQ(answer.answered, 1);
    EXPECT_EQ(shown.toStdString(), std::string("Vantrell could not find a valid ") + c.kind +
                                       " plugin dll, please put a copy of the plugin in the same "
                                       "directory as Vantrell.");
    EXPECT_EQ(caption, "Error");
    EXPECT_EQ(quits, 1);
  }
}

TEST_F(OptionsDialogTest, BrowseReplacesTheFolderOnlyWhenOneIsChosen) {
  QTemporaryDir chosen;
  const struct { int button, edit; } cases[] = {{1001, 1000}, {1003, 1002}, {1072, 1071}};
  for (const auto& c : cases) {
    auto d = open();
    const QString before = text(d.get(), c.edit);
    QString title;
    {
      ModalAnswer<QFileDialog> cancel([&](QFileDialog* browser) {
        title = browser->windowTitle();
        browser->reject();
      });
      click(d.get(), c.button);
    }
    EXPECT_EQ(title, "Select A Folder");
    EXPECT_EQ(text(d.get(), c.edit), before);

    ModalAnswer<QFileDialog> choose([&](QFileDialog* browser) {
      browser->setDirectory(chosen.path());
      static_cast<QDialog*>(browser)->accept();  // QFileDialog hides its override
    });
    click(d.get(), c.button);
    EXPECT_EQ(text(d.get(), c.edit), chosen.path());
    EXPECT_EQ(setting(kRegistryOptions, "RomDirectory"), "/roms") << "nothing stored before OK";
  }
}

}  // namespace
