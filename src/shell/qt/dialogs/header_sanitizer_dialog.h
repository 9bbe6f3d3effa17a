// The Header Sanitizing Tool (114), offered after loading an image whose header is dirty: shows
// header bytes 7-15 of the file and, on "Clean it!", zeros bytes 8-15 in the file.
#pragma once

#include <memory>
#include <string>

#include "shell/qt/dialogs/dialog_ids.h"

namespace Ui {
class HeaderSanitizerDialog;
}

class HeaderSanitizerDialog : public NumberedDialog {
 public:
  explicit HeaderSanitizerDialog(const char* path, QWidget* parent = nullptr);
  ~HeaderSanitizerDialog() override;

 private:
  std::unique_ptr<Ui::HeaderSanitizerDialog> ui_;
  std::string path_;
};

// Runs the tool modally for the loaded cartridge's file: 1 after "Clean it!" (also when the file
// could not be written, which is not reported), 2 after "I don't care" or the close box.
int header_sanitizer_dialog_exec(QWidget* parent);
