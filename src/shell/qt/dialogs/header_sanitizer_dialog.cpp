#include "shell/qt/dialogs/header_sanitizer_dialog.h"

#include <QFontDatabase>
#include <QStyle>

#include "cart/cartridge.h"
#include "cart/header_sanitizer.h"
#include "ui_header_sanitizer_dialog.h"

HeaderSanitizerDialog::HeaderSanitizerDialog(const char* path, QWidget* parent)
    : NumberedDialog(parent),
      ui_(std::make_unique<Ui::HeaderSanitizerDialog>()),
      path_(path ? path : "") {
  ui_->setupUi(this);
  const int icon_size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  ui_->warningIcon->setPixmap(
      style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(icon_size));
  // One character per byte, in a fixed-pitch font so that junk lines up as it sits in the file.
  ui_->id1037->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  const std::string shown = header_sanitizer_read(path);
  ui_->id1037->setText(QString::fromLatin1(shown.data(), qsizetype(shown.size())));

  connect(ui_->id1, &QPushButton::clicked, this, [this] {
    header_sanitizer_clean(path_.c_str());  // a file that cannot be written stays as it is
    done(kIdOk);
  });
  end_on_click(kIdCancel);
}

HeaderSanitizerDialog::~HeaderSanitizerDialog() = default;

int header_sanitizer_dialog_exec(QWidget* parent) {
  HeaderSanitizerDialog dialog(cartridge.path, parent);
  return dialog.exec();
}
