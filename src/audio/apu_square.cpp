// The two square (pulse) generators.
#include "audio/apu.h"
#include "audio/apu_envelope.h"
#include "audio/apu_tables.h"

// The sweep changes the whole 16.16 period by a fraction of itself. An upward sweep keeps going
// while the channel is silenced by the limit, so the value may run past 32 bits: it wraps, as
// the hardware register it stands for would, instead of overflowing.
static int32_t sweep_period(int32_t period, int shift, bool negate) {
  const uint32_t delta = static_cast<uint32_t>(period >> shift);
  const uint32_t base = static_cast<uint32_t>(period);
  return static_cast<int32_t>(negate ? base - delta : base + delta);
}

int8_t apu_square_sample(int channel) {
  SquareChannel& sq = apu_square[channel];
  if (!sq.enabled) return 0;

  apu_envelope_clock(sq.reg0, sq.envelope_timer, sq.envelope_count);

  if (sq.length > 0 && !(sq.reg0 & 0x20)) --sq.length;
  if (sq.length == 0) return 0;

  // The sweep timer loses half a frame's worth per sample: one step every P + 1 half frames.
  const int shift = sq.reg1 & 7;
  const bool negate = (sq.reg1 & 0x08) != 0;
  if ((sq.reg1 & 0x80) && shift != 0) {
    sq.sweep_timer -= 2.0f;
    while (sq.sweep_timer < 0.0f) {
      sq.sweep_timer += static_cast<float>((((sq.reg1 >> 4) & 7u) + 1u) * SAMPLES_PER_FRAME);
      sq.period = sweep_period(sq.period, shift, negate);
    }
  }

  // Silenced above the limit even with the sweep off, and for periods too short to be heard.
  const int32_t timer = sq.period >> 16;
  if (!negate && timer > apu_sweep_limit[shift]) return 0;
  if (timer < 4) return 0;

  sq.phase -= CYCLES_PER_SAMPLE;
  while (sq.phase < 0.0f) {
    sq.phase += static_cast<float>(timer);
    sq.step = (sq.step + 1) & 15;
  }

  const int volume = apu_envelope_volume(sq.reg0, sq.envelope_count);
  return static_cast<int8_t>(sq.step < apu_duty_threshold[sq.reg0 >> 6] ? -volume : volume);
}
