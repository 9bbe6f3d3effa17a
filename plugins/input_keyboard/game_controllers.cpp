#include "input_keyboard/game_controllers.h"

#include <SDL.h>

#include <array>

#include "input_keyboard/key_bindings.h"

namespace {

// How far the left stick must lean, of 32767, to press a direction: half way, so that a
// diagonal at 45 degrees presses both of its directions but a slightly crooked push does not.
constexpr int kStickDeadZone = 16384;

bool started = false;
std::array<SDL_GameController*, 2> pads{};
int known_joysticks = -1;

bool is_open(SDL_JoystickID id) {
  for (SDL_GameController* pad : pads) {
    if (pad && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == id) return true;
  }
  return false;
}

// Drops controllers that went away and gives empty slots to new ones, in device order.
void update_pads() {
  SDL_GameControllerUpdate();
  bool lost = false;
  for (SDL_GameController*& pad : pads) {
    if (pad && !SDL_GameControllerGetAttached(pad)) {
      SDL_GameControllerClose(pad);
      pad = nullptr;
      lost = true;
    }
  }
  const int count = SDL_NumJoysticks();
  if (count == known_joysticks && !lost) return;
  known_joysticks = count;
  for (int i = 0; i < count; ++i) {
    if (!SDL_IsGameController(i) || is_open(SDL_JoystickGetDeviceInstanceID(i))) continue;
    for (SDL_GameController*& pad : pads) {
      if (pad) continue;
      pad = SDL_GameControllerOpen(i);
      break;
    }
  }
}

}  // namespace

void controllers_start() {
  if (started) return;
  // The emulator's window is Qt's, not SDL's: read controllers whatever SDL thinks of focus.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;
  // State is polled; nobody drains SDL's event queue, so keep controller events out of it.
  SDL_GameControllerEventState(SDL_IGNORE);
  SDL_JoystickEventState(SDL_IGNORE);
  started = true;
  known_joysticks = -1;
}

void controllers_stop() {
  if (!started) return;
  for (SDL_GameController*& pad : pads) {
    if (pad) SDL_GameControllerClose(pad);
    pad = nullptr;
  }
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  started = false;
}

uint32_t controllers_read(int slot) {
  if (!started || slot < 0 || slot >= static_cast<int>(pads.size())) return 0;
  update_pads();
  SDL_GameController* pad = pads[slot];
  if (!pad) return 0;
  auto button = [pad](SDL_GameControllerButton b) {
    return SDL_GameControllerGetButton(pad, b) != 0;
  };
  const int x = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
  const int y = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
  const bool pressed[kButtonCount] = {
      button(SDL_CONTROLLER_BUTTON_A),
      button(SDL_CONTROLLER_BUTTON_B),
      button(SDL_CONTROLLER_BUTTON_BACK),
      button(SDL_CONTROLLER_BUTTON_START),
      button(SDL_CONTROLLER_BUTTON_DPAD_UP) || y < -kStickDeadZone,
      button(SDL_CONTROLLER_BUTTON_DPAD_DOWN) || y > kStickDeadZone,
      button(SDL_CONTROLLER_BUTTON_DPAD_LEFT) || x < -kStickDeadZone,
      button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT) || x > kStickDeadZone,
  };
  uint32_t bits = 0;
  for (int b = 0; b < kButtonCount; ++b) bits |= uint32_t{pressed[b]} << b;
  return bits;
}
