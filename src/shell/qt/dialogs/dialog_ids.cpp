#include "shell/qt/dialogs/dialog_ids.h"

#include <QAbstractButton>
#include <QEventLoop>

QWidget* dialog_control(QWidget* dialog, int id) {
  if (!dialog) return nullptr;
  return dialog->findChild<QWidget*>(QStringLiteral("id%1").arg(id));
}

void NumberedDialog::end_on_click(int id) {
  if (auto* button = dialog_control_as<QAbstractButton>(this, id)) {
    connect(button, &QAbstractButton::clicked, this, [this, id] { done(id); });
  }
}

int exec_without_owner(QDialog* dialog) {
  QEventLoop loop;
  QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
  dialog->show();
  loop.exec();
  return dialog->result();
}
