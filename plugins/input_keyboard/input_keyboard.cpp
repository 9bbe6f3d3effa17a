// The keyboard and game-controller input plug-in: joypads 1 and 2 from keys the host reports
// held (rebindable in the options dialog) and from the first two SDL2 game controllers.
//
// The stream's bits 0-7 are A, B, Select, Start, Up, Down, Left, Right; bits 8-23 stay 0.
// Opposite directions held together (from keys, a controller or both) cancel each other: a real
// joypad cannot report them, and some games misbehave when they see both.
#include <QApplication>
#include <QThread>
#include <QWidget>
#include <mutex>

#include "input_keyboard/game_controllers.h"
#include "input_keyboard/input_options.h"
#include "input_keyboard/key_bindings.h"
#include "shell/plugin_api.h"

#ifdef _WIN32
#define INPUT_EXPORT extern "C" __declspec(dllexport)
#else
#define INPUT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

// INIT, DESTROY and GETDATA come from the emulation thread, OPTIONS from the user-interface
// thread, which may change the bindings of a running game.
struct State {
  std::mutex mutex;
  bool running = false;
  HostWindow* hwnd = nullptr;
  KeyBindings bindings{};
};
State state;

uint32_t keyboard_buttons(HostWindow* hwnd, const PortKeys& keys) {
  if (!hwnd || !hwnd->key_down) return 0;
  uint32_t bits = 0;
  for (int b = 0; b < kButtonCount; ++b) {
    for (int key : keys[b]) {
      if (key && hwnd->key_down(hwnd, key)) bits |= 1u << b;
    }
  }
  return bits;
}

uint32_t cancel_opposites(uint32_t bits) {
  constexpr uint32_t kUpDown = 1u << kButtonUp | 1u << kButtonDown;
  constexpr uint32_t kLeftRight = 1u << kButtonLeft | 1u << kButtonRight;
  if ((bits & kUpDown) == kUpDown) bits &= ~kUpDown;
  if ((bits & kLeftRight) == kLeftRight) bits &= ~kLeftRight;
  return bits;
}

}  // namespace

INPUT_EXPORT void FN_INPUT_INIT(InputInitInfo* info) {
  if (!info) return;
  {
    std::lock_guard lock(state.mutex);
    state.running = true;
    state.hwnd = info->hwnd;
    state.bindings = load_key_bindings();
  }
  controllers_start();
}

INPUT_EXPORT void FN_INPUT_DESTROY() {
  {
    std::lock_guard lock(state.mutex);
    state.running = false;
    state.hwnd = nullptr;
  }
  controllers_stop();
}

INPUT_EXPORT uint32_t FN_INPUT_GETDATA(uint32_t port) {
  if (port < 1 || port > kPortCount) return 0;
  HostWindow* hwnd;
  PortKeys keys;
  {
    std::lock_guard lock(state.mutex);
    if (!state.running) return 0;
    hwnd = state.hwnd;
    keys = state.bindings[port - 1];
  }
  const uint32_t bits = keyboard_buttons(hwnd, keys) | controllers_read(static_cast<int>(port) - 1);
  return cancel_opposites(bits);
}

INPUT_EXPORT void FN_INPUT_OPTIONS() {
  QApplication* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (!app || QThread::currentThread() != app->thread()) return;
  QWidget* parent = nullptr;
  {
    std::lock_guard lock(state.mutex);
    if (state.running && state.hwnd) parent = static_cast<QWidget*>(state.hwnd->native);
  }
  parent = parent ? parent->window() : QApplication::activeWindow();
  KeyBindings bindings = load_key_bindings();
  if (!run_input_options_dialog(parent, &bindings)) return;
  save_key_bindings(bindings);
  std::lock_guard lock(state.mutex);
  state.bindings = bindings;
}
