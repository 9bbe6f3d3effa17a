// The triangle generator.
#include "audio/apu.h"

// Level of a sequencer step: up from 0 to 16, down to 0, on to -16 and back.
static float triangle_level(uint8_t step) {
  const int ramp = 2 * (step & 7);
  const int magnitude = (step & 8) ? 16 - ramp : ramp;
  return static_cast<float>((step & 16) ? -magnitude : magnitude);
}

int8_t apu_triangle_sample() {
  TriangleChannel& tri = apu_triangle;
  if (!tri.enabled) return 0;

  // After a $400B write the counters hold for three samples (the load phase); with the control
  // bit set they never start, and the note plays for as long as the linear counter holds.
  if (!tri.counting && !(tri.reg0 & 0x80)) {
    if (tri.delay != 0) --tri.delay;
    if (tri.delay == 0) tri.counting = 1;
  }
  if (tri.counting) {
    if (tri.linear > 0) --tri.linear;
    if (tri.length != 0 && !(tri.reg0 & 0x80)) --tri.length;
    if (tri.length == 0) return 0;
  }
  if (tri.linear == 0) return 0;

  const int32_t timer = (tri.reg3 & 7) * 256 + tri.reg2 + 1;
  if (timer < 4) return 0;

  tri.phase -= CYCLES_PER_SAMPLE;
  while (tri.phase < 0.0f) {
    tri.step = (tri.step + 1) & 31;
    tri.phase += static_cast<float>(timer);
    tri.level = triangle_level(tri.step);
  }
  return static_cast<int8_t>(tri.level);
}
