// The sound output: once per emulated frame the APU renders one block of 735 samples, which is
// played through the host's sound device as a one-shot buffer of its own. While the previous
// block is still playing, the new one is dropped, so latency never exceeds one block and the
// pace of sound follows the pace of frames.
//
// sound_init, sound_frame and sound_release run on the emulation thread.
#pragma once

#include <atomic>
#include <cstdint>

inline constexpr uint32_t kSoundBlockSize = 735;
// Bytes at the start of every block that are not heard: each block is played from 0 and at once
// again from this position.
inline constexpr uint32_t kSoundSkippedSamples = 4;

// Receives every rendered block of unsigned 8-bit mono samples at 44,100 Hz, whether or not a
// device plays it (the headless tool records the sound this way).
using SoundSink = void (*)(const uint8_t* samples, uint32_t count);
extern SoundSink sound_sink;  // null: no one listens

// Where blocks come from, chosen at power-on: the classic synthesiser (apu_render) or the
// hardware profile's APU (apu_hw_render).
using SoundRender = void (*)(uint8_t* samples, uint32_t count);
extern SoundRender sound_render;

// The Audio menu's master switch. While off, blocks are still rendered (the APU advances) and
// handed to sound_sink, but none goes to the device. The user-interface thread may change it.
extern std::atomic<bool> sound_enabled;

// Opens the host's sound device and resets the APU. Without a device it returns -1 at once and
// the APU is left as it is; a refused cooperative level is reported and the device used anyway.
// Returns 0 on success.
int sound_init();
// Renders this frame's block and, when the previous buffer has finished, plays it.
void sound_frame();
// Releases the buffer and the device (without stopping the buffer first).
void sound_release();
