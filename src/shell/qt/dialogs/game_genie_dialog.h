// The Game Genie Codes dialog (108): edits the code list. OK stores the list in the order shown;
// the codes take effect at the next program-bank sync.
#pragma once

#include <memory>

#include "shell/qt/dialogs/dialog_ids.h"

namespace Ui {
class GameGenieDialog;
}

inline constexpr const char* kGgPatchNote =
    "Codes take effect at the next bank switch; a removed code's patch stays until the game is "
    "loaded again.";
inline constexpr const char* kGgOffNote = "Codes are off; Goodies > Game Genie > On applies them.";

class GameGenieDialog : public NumberedDialog {
 public:
  explicit GameGenieDialog(QWidget* parent = nullptr);
  ~GameGenieDialog() override;

 private:
  void add_code();
  void remove_code();
  void store();

  std::unique_ptr<Ui::GameGenieDialog> ui_;
};

// Runs the dialog modally: 1 after OK, 2 after Cancel or the close box. The caller pauses the
// game around it.
int game_genie_dialog_exec(QWidget* parent);
