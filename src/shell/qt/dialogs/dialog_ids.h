// Dialog controls are found by their numeric resource id: every control's objectName is "id"
// followed by the number ("id1004"); OK and Cancel are "id1" and "id2".
#pragma once

#include <QDialog>
#include <QWidget>

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// The control with the given id inside dialog, or null.
QWidget* dialog_control(QWidget* dialog, int id);

template <typename T>
T* dialog_control_as(QWidget* dialog, int id) {
  return qobject_cast<T*>(dialog_control(dialog, id));
}

// A dialog whose results are control ids: the close box and Escape end it with 2, as Cancel does.
class NumberedDialog : public QDialog {
 public:
  using QDialog::QDialog;
  void reject() override { done(kIdCancel); }

 protected:
  // Makes the button with the given id end the dialog with that id.
  void end_on_click(int id);
};

// Runs dialog until it ends and returns its result, as exec() does, but without making it modal:
// a dialog without owner leaves the main window usable (its keys still play the game) while the
// caller waits.
int exec_without_owner(QDialog* dialog);
