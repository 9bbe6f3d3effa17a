#include "input_keyboard/input_options.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>
#include <vector>

namespace {

// A button that shows a key; click it and press a key to change it. Esc cancels, Delete
// clears. While it waits, every key (Tab and Return too) goes to it, not to the dialog.
class KeyCaptureButton : public QPushButton {
 public:
  KeyCaptureButton(int key, std::function<void(KeyCaptureButton*)> changed, QWidget* parent)
      : QPushButton(parent), key_(key), changed_(std::move(changed)) {
    setAutoDefault(false);
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Press a key…")) + 24);
    setToolTip(QObject::tr("Click, then press a key. Esc cancels, Delete clears."));
    connect(this, &QPushButton::clicked, this, [this] { set_waiting(true); });
    show_key();
  }

  int key() const { return key_; }
  void set_key(int key) {
    key_ = key;
    show_key();
  }

 protected:
  bool event(QEvent* e) override {
    if (waiting_ && e->type() == QEvent::ShortcutOverride) {
      e->accept();  // no shortcut or mnemonic fires while a key is awaited
      return true;
    }
    if (waiting_ && e->type() == QEvent::KeyPress) {
      take_key(static_cast<QKeyEvent*>(e));
      return true;
    }
    return QPushButton::event(e);
  }
  void focusOutEvent(QFocusEvent* e) override {
    set_waiting(false);
    QPushButton::focusOutEvent(e);
  }

 private:
  void take_key(const QKeyEvent* e) {
    const int key = e->key();
    if (e->isAutoRepeat() || key == 0 || key == Qt::Key_unknown) return;
    set_waiting(false);
    if (key == Qt::Key_Escape) return;
    set_key(key == Qt::Key_Delete ? 0 : key);
    changed_(this);
  }
  void set_waiting(bool waiting) {
    waiting_ = waiting;
    setDown(waiting);
    if (waiting) {
      setText(QObject::tr("Press a key…"));
    } else {
      show_key();
    }
  }
  void show_key() { setText(key_ ? key_text(key_) : QObject::tr("—")); }

  int key_;
  bool waiting_ = false;
  std::function<void(KeyCaptureButton*)> changed_;
};

struct Editor {
  // [port][button][slot], in that order
  std::vector<KeyCaptureButton*> buttons;
  KeyCaptureButton*& at(int port, int button, int slot) {
    return buttons[(port * kButtonCount + button) * kKeysPerButton + slot];
  }

  // A key plays one button only: binding it somewhere takes it away from everywhere else.
  void claim(KeyCaptureButton* owner) {
    if (owner->key() == 0) return;
    for (KeyCaptureButton* b : buttons) {
      if (b != owner && b->key() == owner->key()) b->set_key(0);
    }
  }
  void show(const KeyBindings& bindings) {
    for (int p = 0; p < kPortCount; ++p) {
      for (int b = 0; b < kButtonCount; ++b) {
        for (int s = 0; s < kKeysPerButton; ++s) at(p, b, s)->set_key(bindings[p][b][s]);
      }
    }
  }
  KeyBindings bindings() {
    KeyBindings result{};
    for (int p = 0; p < kPortCount; ++p) {
      for (int b = 0; b < kButtonCount; ++b) {
        for (int s = 0; s < kKeysPerButton; ++s) result[p][b][s] = at(p, b, s)->key();
      }
    }
    return result;
  }
};

QWidget* port_page(Editor& editor, int port, const KeyBindings& bindings, QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* grid = new QGridLayout(page);
  grid->addWidget(new QLabel(QObject::tr("<b>Button</b>"), page), 0, 0);
  grid->addWidget(new QLabel(QObject::tr("<b>Key</b>"), page), 0, 1);
  grid->addWidget(new QLabel(QObject::tr("<b>Alternate key</b>"), page), 0, 2);
  for (int b = 0; b < kButtonCount; ++b) {
    grid->addWidget(new QLabel(QString::fromLatin1(button_name(b)), page), b + 1, 0);
    for (int s = 0; s < kKeysPerButton; ++s) {
      auto* key = new KeyCaptureButton(
          bindings[port][b][s], [&editor](KeyCaptureButton* k) { editor.claim(k); }, page);
      key->setObjectName(QStringLiteral("port%1_%2_key%3")
                             .arg(port + 1)
                             .arg(QLatin1String(button_name(b)))
                             .arg(s));
      grid->addWidget(key, b + 1, s + 1);
      editor.at(port, b, s) = key;
    }
  }
  grid->setColumnStretch(3, 1);
  return page;
}

}  // namespace

bool run_input_options_dialog(QWidget* parent, KeyBindings* bindings) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QObject::tr("Joypad Settings"));
  Editor editor;
  editor.buttons.resize(kPortCount * kButtonCount * kKeysPerButton);

  auto* layout = new QVBoxLayout(&dialog);
  auto* tabs = new QTabWidget(&dialog);
  for (int port = 0; port < kPortCount; ++port) {
    tabs->addTab(port_page(editor, port, *bindings, tabs), QObject::tr("Joypad %1").arg(port + 1));
  }
  layout->addWidget(tabs);

  for (const QString& text :
       {QObject::tr("Click a key box, then press the key. Esc cancels, Delete clears."),
        QObject::tr("Game controllers play too: the first one joypad 1, the second joypad 2, "
                    "with A, B, Back (Select), Start, the d-pad and the left stick.")}) {
    auto* note = new QLabel(text, &dialog);
    note->setWordWrap(true);
    layout->addWidget(note);
  }

  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked,
                   &dialog, [&editor] { editor.show(default_key_bindings()); });
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  if (dialog.exec() != QDialog::Accepted) return false;
  *bindings = editor.bindings();
  return true;
}
