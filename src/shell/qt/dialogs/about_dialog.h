// The About box (107): the logo, a note that this is a work-in-progress version, and a button
// that opens the project's web site.
#pragma once

#include <QPixmap>
#include <memory>

#include "shell/qt/dialogs/dialog_ids.h"

namespace Ui {
class AboutDialog;
}

inline constexpr const char* kVantrellWebSite = "https://vantrell.invalid/";

// The logo (bitmap 106), painted here rather than shipped as an image file.
QPixmap about_logo();

class AboutDialog : public NumberedDialog {
 public:
  explicit AboutDialog(QWidget* parent = nullptr);
  ~AboutDialog() override;

 private:
  std::unique_ptr<Ui::AboutDialog> ui_;
};

// Runs the box modally: 1 after OK, 2 after Cancel or the close box.
int about_dialog_exec(QWidget* parent);
