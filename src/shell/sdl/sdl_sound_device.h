// The desktop's sound device on SDL2 audio.
#pragma once

#include "audio/sound_device.h"

// Opens the default SDL audio output for unsigned 8-bit mono at 44,100 Hz, or returns null when
// SDL's audio cannot be started or no output device opens. The caller deletes the device.
SoundDevice* sdl_sound_device_open();
