// The IPS Patcher (110): names a patch and a file and applies the one to the other, in place.
// "Apply" may be used any number of times; "Dismiss" or the close box ends the dialog.
#pragma once

#include <memory>

#include "shell/qt/dialogs/dialog_ids.h"

namespace Ui {
class IpsPatcherDialog;
}
class QLineEdit;
struct FileFilter;

class IpsPatcherDialog : public NumberedDialog {
 public:
  explicit IpsPatcherDialog(QWidget* parent = nullptr);
  ~IpsPatcherDialog() override;

 private:
  void browse(QLineEdit* edit, const char* title, const FileFilter* filters);
  void apply();

  std::unique_ptr<Ui::IpsPatcherDialog> ui_;
};

// Runs the dialog modally: 1 after "Dismiss", 2 after the close box.
int ips_patcher_dialog_exec(QWidget* parent);
