// The ROM Info box (104): path, sizes, mapper and header flags of the loaded image. The four
// check boxes show the header and snap back when clicked.
#pragma once

#include <memory>

#include "cart/rom_info.h"
#include "shell/qt/dialogs/dialog_ids.h"

namespace Ui {
class RomInfoDialog;
}

class RomInfoDialog : public NumberedDialog {
 public:
  explicit RomInfoDialog(const Cartridge& cart, QWidget* parent = nullptr);
  ~RomInfoDialog() override;

 private:
  void show_flags();

  std::unique_ptr<Ui::RomInfoDialog> ui_;
  RomInfo info_;
};

// Runs the box modally for the loaded cartridge: 1 after OK, 2 after the close box.
int rom_info_dialog_exec(QWidget* parent);
