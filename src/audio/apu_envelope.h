// The envelope shared by the squares and the noise channel. Internal to src/audio.
#pragma once

#include <cstdint>

#include "audio/apu.h"

// One output sample of envelope time. The timer loses a quarter frame's worth (4) per sample
// and gains V + 1 frames per step, so the volume steps every V + 1 quarter frames; with the loop
// bit (reg0 bit 5) the decay wraps from 15 back to 0 instead of holding at silence.
inline void apu_envelope_clock(uint8_t reg0, float& timer, uint8_t& count) {
  timer -= 4.0f;
  while (timer < 0.0f) {
    timer += static_cast<float>(((reg0 & 15u) + 1u) * SAMPLES_PER_FRAME);
    if (reg0 & 0x20) {
      count = (count + 1) & 15;
    } else if (count < 15) {
      ++count;
    }
  }
}

// Constant volume (reg0 bit 4) or the decaying envelope.
inline int apu_envelope_volume(uint8_t reg0, uint8_t count) {
  return (reg0 & 0x10) ? (reg0 & 15) : 15 - count;
}
