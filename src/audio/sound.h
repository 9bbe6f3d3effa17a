// The sound frame: once per emulated frame the APU renders one block of 735 samples, which goes
// to the sound output in force (the desktop's sound device, a recorder in the headless tool).
#pragma once

#include <cstdint>

inline constexpr uint32_t kSoundBlockSize = 735;

// Receives each frame's block of unsigned 8-bit mono samples at 44,100 Hz.
using SoundSink = void (*)(const uint8_t* samples, uint32_t count);
extern SoundSink sound_sink;  // null: the block is rendered and dropped

// Starts sound for a run: resets the APU. Returns 0.
int sound_init();
// Renders this frame's block and hands it to the sink.
void sound_frame();
// Ends sound for a run.
void sound_release();
