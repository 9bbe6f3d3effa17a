#include "audio/sound.h"

#include <cstring>

#include "audio/apu.h"

SoundSink sound_sink = nullptr;

int sound_init() {
  apu_reset();
  return 0;
}

void sound_frame() {
  uint8_t block[kSoundBlockSize];
  std::memset(block, 0, sizeof block);
  apu_render(block, kSoundBlockSize);
  if (sound_sink) sound_sink(block, kSoundBlockSize);
}

void sound_release() {}
