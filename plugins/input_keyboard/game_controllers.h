// Game controllers through SDL2: the first connected controller plays joypad 1, the second
// joypad 2. Used from the emulation thread only.
#pragma once

#include <cstdint>

// Starts SDL's game-controller subsystem; without it (no SDL, no devices) every read is 0.
void controllers_start();
// Closes the controllers and releases the subsystem (SDL stays up for whoever else uses it).
void controllers_stop();
// The buttons of controller `slot` (0 or 1) as stream bits 0-7: A, B, Back (Select), Start and
// the directions from the d-pad or the left stick. Notices controllers coming and going.
uint32_t controllers_read(int slot);
