// The keys that play the two joypads: up to two keys per button, kept in the program's settings
// file under "Plugins/input_keyboard" as Qt key names separated by a space ("Port1/Select" is
// "Key_Shift Key_Backspace"; an empty value is no key).
#pragma once

#include <QString>
#include <array>
#include <cstdint>

// The joypad buttons in the order of their bits in the stream.
enum Button {
  kButtonA,
  kButtonB,
  kButtonSelect,
  kButtonStart,
  kButtonUp,
  kButtonDown,
  kButtonLeft,
  kButtonRight,
  kButtonCount
};
inline constexpr int kPortCount = 2;
inline constexpr int kKeysPerButton = 2;

// Qt::Key codes; 0 is no key.
using ButtonKeys = std::array<int, kKeysPerButton>;
using PortKeys = std::array<ButtonKeys, kButtonCount>;
using KeyBindings = std::array<PortKeys, kPortCount>;

const char* button_name(int button);  // "A", "B", "Select", ...

KeyBindings default_key_bindings();
// The stored bindings; a button with no stored value keeps its default.
KeyBindings load_key_bindings();
void save_key_bindings(const KeyBindings& bindings);

// The key as the user knows it ("X", "Shift", "Return"); empty for no key.
QString key_text(int key);
