// The Options dialog against the settings: what it shows, what OK and Cancel store, the palette
// buttons, the folder browsers, and a plug-in list that stays empty.
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
  uint32_t value = 99;
  registry_get_dword(kRegistryOptions, "Palette", &value);
  return value;
}

QLineEdit* edit(QWidget* dialog, int id) { return dialog_control_as<QLineEdit>(dialog, id); }
QListWidget* list(QWidget* dialog, int id) { return dialog_control_as<QListWidget>(dialog, id); }

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

// OK stores what the dialog shows, over values changed behind its back (a list without a
// selection, as when the stored plug-in is no longer listed, stores an empty name), and asks for
// the plug-ins to be reloaded; Cancel and the close box store nothing.
TEST_F(OptionsDialogTest, OkStoresWhatItShowsAndCancelStoresNothing) {
  // The state folder, the video and input settings and paths, the palette stored, chosen and
  // shown, and the requests.
  const auto outcome = [] {
    return setting(kRegistryOptions, "StateDirectory") + "|" + setting(kRegistryPlugins, "Video") +
           "|" + setting(kRegistryPlugins, "Input") + "|" + video_plugin_path + "|" +
           input_plugin_path + "|" + std::to_string(palette_setting()) + "/" +
           std::to_string(palette_index) + "/" +
           std::to_string((current_palette - ppu_palettes[0]) / kPaletteEntries) + "|" +
           std::to_string(emu_requests.load());
  };
  const std::string kept = "elsewhere|b_video.so|a_input.so|b_video.so|gone.so|3/3/3|0";
  const std::pair<int, std::string> ends[] = {
      {kIdCancel, kept},
      {0, kept},  // the close box
      {kIdOk, "/states|a_video.so||a_video.so||7/7/7|" + std::to_string(REQUEST_RELOAD_PLUGINS)}};
  std::strcpy(input_plugin_path, "gone.so");
  for (const auto& [end, expected] : ends) {
    registry_set_string(kRegistryOptions, "StateDirectory", "/states");
    auto d = open();
    ASSERT_TRUE(filled);
    EXPECT_EQ(list(d.get(), 1004)->currentRow(), 1);  // the stored plug-in, b_video.so
    EXPECT_TRUE(list(d.get(), 1005)->selectedItems().isEmpty());
    registry_set_string(kRegistryOptions, "StateDirectory", "elsewhere");
    list(d.get(), 1004)->setCurrentRow(0);
    click(d.get(), 1047);
    end ? click(d.get(), end) : d->reject();
    EXPECT_EQ(d->result(), end ? end : kIdCancel);
    EXPECT_EQ(outcome(), expected) << end;
  }
}

// The dialog opens with the current palette's button set (none above 11) and OK stores the set
// button's palette, or keeps the current one when none is set.
TEST_F(OptionsDialogTest, OkStoresThePaletteOfTheSetButton) {
  const auto ok_clicking = [&](int id) {
    auto d = open();
    int set = 0;
    for (QRadioButton* button : d->findChildren<QRadioButton*>()) set += button->isChecked();
    if (id) click(d.get(), id);
    click(d.get(), 1);
    return set;
  };
  for (int id = 1040; id <= 1051; ++id) {
    EXPECT_EQ(ok_clicking(id), 1);
    // Palette order, but for I (8) and J (9), which swap their ids.
    EXPECT_EQ(palette_setting(), uint32_t(id == 1048 ? 9 : id == 1049 ? 8 : id - 1040)) << id;
  }
  EXPECT_EQ(ok_clicking(0), 1);
  EXPECT_EQ(palette_setting(), 11u);
  palette_index = 12;
  EXPECT_EQ(ok_clicking(0), 0);
  EXPECT_EQ(palette_setting(), 12u);
}

TEST_F(OptionsDialogTest, AnEmptyPluginListIsReportedAndEndsTheProgram) {
  for (const std::string kind : {"video", "input"}) {
    quits = 0;
    std::string shown;
    ModalAnswer<QMessageBox> answer([&](QMessageBox* box) {
      shown = (box->windowTitle() + "|" + box->text()).toStdString();
      box->accept();
    });
    open(kind == "video" ? Names{} : Names{"a_video.so"},
         kind == "input" ? Names{} : Names{"a_input.so"});
    EXPECT_FALSE(filled);
    EXPECT_TRUE(shown.starts_with("Error|Vantrell could not find a valid " + kind)) << shown;
    EXPECT_EQ(quits, 1);
  }
}

// Each folder row shows its setting, Browse replaces the folder only when one is chosen, and OK
// stores it.
TEST_F(OptionsDialogTest, EachFolderRowShowsBrowsesAndStoresItsFolder) {
  QTemporaryDir chosen;
  // The edit, the Browse button, the setting and its stored folder.
  const std::tuple<int, int, const char*, const char*> rows[] = {
      {1000, 1001, "RomDirectory", "/roms"},
      {1002, 1003, "StateDirectory", "/states"},
      {1071, 1072, "BatteryDirectory", "/saves"}};
  for (const auto& [edit_id, browse, name, stored] : rows) {
    auto d = open();
    EXPECT_EQ(edit(d.get(), edit_id)->text(), stored);
    for (const bool choose : {false, true}) {
      ModalAnswer<QFileDialog> answer([&](QFileDialog* browser) {
        browser->setDirectory(chosen.path());
        QDialog* dialog = browser;  // QFileDialog hides its accept()
        choose ? dialog->accept() : dialog->reject();
      });
      click(d.get(), browse);
      EXPECT_EQ(answer.answered, 1);
      EXPECT_EQ(edit(d.get(), edit_id)->text(), choose ? chosen.path() : QString(stored)) << name;
    }
    EXPECT_EQ(setting(kRegistryOptions, name), stored) << "nothing stored before OK";
    click(d.get(), 1);
    EXPECT_EQ(setting(kRegistryOptions, name), chosen.path().toStdString());
  }
}

// OK cuts text longer than a setting holds before the character that byte 255 falls in: 255
// two-byte characters keep 127.
TEST_F(OptionsDialogTest, LongTextIsCutAtACharacterBoundary) {
  auto d = open();
  const QString text(255, QChar(0xE9));
  edit(d.get(), 1000)->setText(text);
  click(d.get(), 1);
  EXPECT_EQ(QString::fromStdString(setting(kRegistryOptions, "RomDirectory")), text.left(127));
}

}  // namespace
