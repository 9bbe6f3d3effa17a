// The Vantrell Debugger (109): a read-only snapshot of the CPU registers, four PPU registers and
// the interrupt vectors, taken when it opens, and the program area $8000-$FFFF listed on request
// as a byte dump or as a disassembly.
#pragma once

#include <memory>
#include <optional>

#include "debug/debugger.h"
#include "shell/qt/dialogs/dialog_ids.h"

namespace Ui {
class DebuggerDialog;
}

class DebuggerDialog : public NumberedDialog {
 public:
  explicit DebuggerDialog(QWidget* parent = nullptr);
  ~DebuggerDialog() override;

 private:
  void show_fields(const DebugSnapshot& s);
  void show_listing(DebugListing kind);

  std::unique_ptr<Ui::DebuggerDialog> ui_;
  std::optional<DebugSnapshot> snapshot_;  // empty while no game runs
};

// Runs the dialog modally: 1 after OK, 2 after Escape or the close box.
int debugger_dialog_exec(QWidget* parent);
