// The noise generator: plays the precomputed shift-register table.
#include "audio/apu.h"
#include "audio/apu_envelope.h"
#include "audio/apu_tables.h"

// Short mode loops over the first 93 table entries. It only catches the position on its way
// past 93, so switching to short mode further on runs to the end of the table first.
static constexpr int32_t kShortModeLength = 93;

int8_t apu_noise_sample() {
  NoiseChannel& noise = apu_noise;
  if (!noise.enabled) return 0;

  apu_envelope_clock(noise.reg0, noise.envelope_timer, noise.envelope_count);

  if (noise.length > 0 && !(noise.reg0 & 0x20)) --noise.length;
  if (noise.length == 0) return 0;

  noise.phase -= CYCLES_PER_SAMPLE;
  while (noise.phase < 0.0f) {
    ++noise.position;
    noise.phase += static_cast<float>(apu_noise_period[noise.reg2 & 15]);
    if (noise.position == kShortModeLength && (noise.reg2 & 0x80)) {
      noise.position = 0;
    } else if (noise.position == static_cast<int32_t>(kNoiseTableSize)) {
      noise.position = 0;
    }
  }

  // The table byte is the level, capped at the volume; bit 7 gives the sign.
  const int volume = apu_envelope_volume(noise.reg0, noise.envelope_count);
  const uint8_t b = apu_noise_table[noise.position];
  const int magnitude = b <= volume ? b : volume;
  return static_cast<int8_t>((b & 0x80) ? -magnitude : magnitude);
}
