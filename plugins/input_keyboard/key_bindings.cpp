#include "input_keyboard/key_bindings.h"

#include <QKeySequence>
#include <QMetaEnum>
#include <QSettings>
#include <QStringList>

#include "plugin_settings.h"

namespace {

constexpr const char* kGroup = "Plugins/input_keyboard";
constexpr std::array<const char*, kButtonCount> kButtonNames = {"A",  "B",    "Select", "Start",
                                                                "Up", "Down", "Left",   "Right"};

// Port 1 on the arrows and X/Z; port 2 on I/J/K/L and G/F, clear of port 1's keys.
constexpr PortKeys kDefaultPort1 = {{{Qt::Key_X, 0},
                                     {Qt::Key_Z, 0},
                                     {Qt::Key_Shift, Qt::Key_Backspace},
                                     {Qt::Key_Return, 0},
                                     {Qt::Key_Up, 0},
                                     {Qt::Key_Down, 0},
                                     {Qt::Key_Left, 0},
                                     {Qt::Key_Right, 0}}};
constexpr PortKeys kDefaultPort2 = {{{Qt::Key_G, 0},
                                     {Qt::Key_F, 0},
                                     {Qt::Key_Q, 0},
                                     {Qt::Key_W, 0},
                                     {Qt::Key_I, 0},
                                     {Qt::Key_K, 0},
                                     {Qt::Key_J, 0},
                                     {Qt::Key_L, 0}}};

QString setting_name(int port, int button) {
  return QStringLiteral("Port%1/%2").arg(port + 1).arg(QLatin1String(kButtonNames[button]));
}

QMetaEnum key_enum() { return QMetaEnum::fromType<Qt::Key>(); }

}  // namespace

const char* button_name(int button) {
  return button >= 0 && button < kButtonCount ? kButtonNames[button] : "";
}

KeyBindings default_key_bindings() { return {kDefaultPort1, kDefaultPort2}; }

KeyBindings load_key_bindings() {
  KeyBindings bindings = default_key_bindings();
  QSettings settings = plugin_open_settings();
  settings.beginGroup(QString::fromLatin1(kGroup));
  for (int port = 0; port < kPortCount; ++port) {
    for (int button = 0; button < kButtonCount; ++button) {
      const QVariant value = settings.value(setting_name(port, button));
      if (!value.isValid()) continue;
      ButtonKeys keys{};
      int n = 0;
      for (const QString& name : value.toString().split(u' ', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int key = key_enum().keyToValue(name.toLatin1().constData(), &ok);
        if (ok && key != 0 && n < kKeysPerButton) keys[n++] = key;
      }
      bindings[port][button] = keys;
    }
  }
  return bindings;
}

void save_key_bindings(const KeyBindings& bindings) {
  QSettings settings = plugin_open_settings();
  settings.beginGroup(QString::fromLatin1(kGroup));
  for (int port = 0; port < kPortCount; ++port) {
    for (int button = 0; button < kButtonCount; ++button) {
      QStringList names;
      for (int key : bindings[port][button]) {
        if (const char* name = key ? key_enum().valueToKey(key) : nullptr) {
          names << QString::fromLatin1(name);
        }
      }
      settings.setValue(setting_name(port, button), names.join(u' '));
    }
  }
}

QString key_text(int key) {
  if (key == 0) return {};
  const QString text = QKeySequence(key).toString(QKeySequence::NativeText);
  if (!text.isEmpty()) return text;
  const char* name = key_enum().valueToKey(key);
  return name ? QString::fromLatin1(name).mid(4) : QStringLiteral("0x%1").arg(key, 0, 16);
}
