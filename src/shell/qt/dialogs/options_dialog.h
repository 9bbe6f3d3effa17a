// The Options dialog (103): the ROM, save-state and battery-save folders, the video and input
// plug-ins and the colour palette. OK stores every value and asks the emulation thread to reload
// the plug-ins; Cancel stores nothing.
#pragma once

#include <QCoreApplication>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/plugin_loader.h"
#include "shell/qt/dialogs/dialog_ids.h"

namespace Ui {
class OptionsDialog;
}
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// The palette chosen in the settings ("Palette"). It may be above 11, in which case
// current_palette shows table 0 and the dialog opens with no palette button set.
extern uint32_t palette_index;

// The radio button of each palette index 0-11 (I and J swap their ids).
inline constexpr int kPaletteButtonIds[] = {1040, 1041, 1042, 1043, 1044, 1045,
                                            1046, 1047, 1049, 1048, 1050, 1051};

class OptionsDialog : public NumberedDialog {
 public:
  explicit OptionsDialog(QWidget* parent = nullptr);
  ~OptionsDialog() override;

  // Lists the plug-in file names that export a symbol; tests replace it.
  std::function<std::vector<std::string>(const char* export_name)> enumerate_plugins =
      plugin_enumerate;
  // Ends the program; called when a plug-in list stays empty.
  std::function<void()> quit = [] { QCoreApplication::exit(0); };

  // Loads the controls from the settings. False when a plug-in list stays empty: the user has
  // been told and quit() has run.
  bool fill();

 private:
  // A folder setting's edit and browse button.
  struct FolderRow {
    QLineEdit* edit;
    QPushButton* browse;
    const char* setting;
  };
  std::array<FolderRow, 3> folder_rows() const;
  bool fill_plugins(QListWidget* list, const char* export_name, const char* current,
                    const char* missing_text);
  void browse(QLineEdit* edit);
  QRadioButton* palette_button(int index);
  void store();

  std::unique_ptr<Ui::OptionsDialog> ui_;
};

// Runs the dialog modally: 1 after OK, 2 after Cancel, 0 when no plug-in could be listed and the
// program has been asked to quit (a caller at start-up, before the event loop runs, must end the
// program itself).
int options_dialog_exec(QWidget* parent);
