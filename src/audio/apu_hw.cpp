// The hardware profile's APU: registers, the frame counter and the five channels, run from event
// to event. Between two events every output is constant, so the chip jumps from one to the next:
// a channel's sequencer clock is an event only while it can change what the channel outputs
// (a silent channel lets its timer run on paper and catches up when it can be heard again), the
// frame counter's steps and the DMC's output clocks are always events.
#include "audio/apu_hw.h"

#include <algorithm>

#include "audio/apu.h"

ApuHw apu_hw;

namespace {

ApuHw& s = apu_hw;

// Length counter loads, in half frames, by bits 7-3 of a channel's fourth register.
constexpr uint8_t kLengths[32] = {10, 254, 20, 2,  40, 4,  80, 6,  160, 8,  60, 10, 14, 12, 26, 14,
                                  12, 16,  24, 18, 48, 20, 96, 22, 192, 24, 72, 26, 16, 28, 32, 30};
// Noise timer periods and DMC output periods, in CPU cycles (NTSC).
constexpr uint16_t kNoisePeriods[16] = {4,   8,   16,  32,  64,  96,   128,  160,
                                        202, 254, 380, 508, 762, 1016, 2034, 4068};
constexpr uint16_t kDmcPeriods[16] = {428, 380, 340, 320, 286, 254, 226, 214,
                                      190, 160, 142, 128, 106, 84,  72,  54};
constexpr uint8_t kDuty[4] = {0b00000010, 0b00000110, 0b00011110, 0b11111001};  // step 0 = bit 0

// The frame counter's steps, in cycles after the sequence (re)started.
struct FrameStep {
  uint16_t at;
  bool quarter, half, irq, wrap;
};
constexpr FrameStep kFourStep[] = {
    {7457, true, false, false, false},  {14913, true, true, false, false},
    {22371, true, false, false, false}, {29828, false, false, true, false},
    {29829, true, true, true, false},   {29830, false, false, true, true}};
constexpr FrameStep kFiveStep[] = {{7457, true, false, false, false},
                                   {14913, true, true, false, false},
                                   {22371, true, false, false, false},
                                   {37281, true, true, false, false},
                                   {37282, false, false, false, true}};

const FrameStep& frame_step() {
  return s.frame.five_step ? kFiveStep[s.frame.step] : kFourStep[s.frame.step];
}

// --- Envelopes, sweeps, counters ---

uint8_t envelope_volume(const ApuHwEnvelope& e) { return e.constant ? e.volume : e.decay; }

void envelope_clock(ApuHwEnvelope& e) {
  if (e.start) {
    e.start = false;
    e.decay = 15;
    e.divider = e.volume;
  } else if (e.divider == 0) {
    e.divider = e.volume;
    if (e.decay) {
      --e.decay;
    } else if (e.loop) {
      e.decay = 15;
    }
  } else {
    --e.divider;
  }
}

void envelope_write(ApuHwEnvelope& e, uint8_t v) {
  e.volume = v & 15;
  e.constant = v & 0x10;
  e.loop = v & 0x20;
}

// The period the sweep would set; pulse 1 negates in ones' complement, pulse 2 in twos'.
int sweep_target(const ApuHwPulse& p, int channel) {
  const int change = p.timer >> p.sweep_shift;
  return p.sweep_negate ? p.timer - change - (channel == 0 ? 1 : 0) : p.timer + change;
}

bool pulse_muted(const ApuHwPulse& p, int channel) {
  return p.timer < 8 || sweep_target(p, channel) > 0x7FF;
}

void sweep_clock(ApuHwPulse& p, int channel) {
  if (p.sweep_divider == 0 && p.sweep_enabled && p.sweep_shift && !pulse_muted(p, channel)) {
    p.timer = uint16_t(sweep_target(p, channel));
  }
  if (p.sweep_divider == 0 || p.sweep_reload) {
    p.sweep_divider = p.sweep_period;
    p.sweep_reload = false;
  } else {
    --p.sweep_divider;
  }
}

void length_clock(uint8_t& length, bool halt) {
  if (length && !halt) --length;
}

// --- Channel timers ---

uint64_t pulse_period(const ApuHwPulse& p) { return 2 * (uint64_t(p.timer) + 1); }

bool pulse_audible(const ApuHwPulse& p, int channel) {
  return p.length && envelope_volume(p.env) && !pulse_muted(p, channel);
}

int pulse_output(const ApuHwPulse& p, int channel) {
  return pulse_audible(p, channel) && ((kDuty[p.duty] >> p.step) & 1) ? envelope_volume(p.env) : 0;
}

bool triangle_running() {
  const ApuHwTriangle& t = s.triangle;
  return t.length && t.linear && t.timer >= 2;
}

int triangle_output() {
  const uint8_t step = s.triangle.step;
  return step < 16 ? 15 - step : step - 16;
}

void noise_clock() {
  ApuHwNoise& n = s.noise;
  const uint16_t feedback = (n.shift ^ (n.shift >> (n.short_mode ? 6 : 1))) & 1;
  n.shift = uint16_t((n.shift >> 1) | (feedback << 14));
}

bool noise_audible() { return s.noise.length && envelope_volume(s.noise.env); }

int noise_output() {
  return noise_audible() && !(s.noise.shift & 1) ? envelope_volume(s.noise.env) : 0;
}

// Brings the timers of the channels that were not followed up to now: the clocks before now are
// counted, a clock at now is left to the event loop.
void sync_timers() {
  for (ApuHwPulse& p : s.pulse) {
    if (p.next < s.now) {
      const uint64_t period = pulse_period(p);
      const uint64_t n = (s.now - p.next + period - 1) / period;
      p.step = uint8_t((p.step + n) & 7);
      p.next += n * period;
    }
  }
  ApuHwTriangle& t = s.triangle;
  if (t.next < s.now) {
    const uint64_t period = t.timer + 1;
    t.next += (s.now - t.next + period - 1) / period * period;
  }
  ApuHwNoise& n = s.noise;
  while (n.next < s.now) {
    noise_clock();
    n.next += kNoisePeriods[n.period_index];
  }
}

// After anything that may have changed which clocks matter: the event times, the IRQ line, the
// bus's deadline and the mixer's level.
void refresh() {
  for (int i = 0; i < 2; ++i) {
    ApuHwPulse& p = s.pulse[i];
    p.event = pulse_audible(p, i) ? p.next : kApuHwNever;
  }
  s.triangle.event = triangle_running() ? s.triangle.next : kApuHwNever;
  s.noise.event = noise_audible() ? s.noise.next : kApuHwNever;
  s.irq_line = s.frame.irq || s.dmc.irq;
  const ApuHwDmc& d = s.dmc;
  const bool dmc_busy = d.bytes_left || d.buffer_full || !d.silent;
  s.deadline = std::min(s.frame.next, dmc_busy ? d.next : kApuHwNever);

  const uint8_t audible = apu_channel_enabled.load(std::memory_order_relaxed);
  auto on = [audible](uint8_t bit, int v) { return (audible & bit) ? v : 0; };
  apu_hw_mix_change(s.now,
                    apu_hw_mix(on(kApuChannelSquare1, pulse_output(s.pulse[0], 0)),
                               on(kApuChannelSquare2, pulse_output(s.pulse[1], 1)),
                               on(kApuChannelTriangle, triangle_output()),
                               on(kApuChannelNoise, noise_output()), on(kApuChannelPcm, d.level)));
}

// --- Frame counter ---

void quarter_frame() {
  envelope_clock(s.pulse[0].env);
  envelope_clock(s.pulse[1].env);
  envelope_clock(s.noise.env);
  ApuHwTriangle& t = s.triangle;
  if (t.linear_reload_flag) {
    t.linear = t.linear_reload;
  } else if (t.linear) {
    --t.linear;
  }
  if (!t.control) t.linear_reload_flag = false;
}

void half_frame() {
  s.frame.half_clock_at = s.now;
  s.frame.clocked_nonzero = uint8_t((s.pulse[0].length ? 1 : 0) | (s.pulse[1].length ? 2 : 0) |
                                    (s.triangle.length ? 4 : 0) | (s.noise.length ? 8 : 0));
  for (int i = 0; i < 2; ++i) {
    length_clock(s.pulse[i].length, s.pulse[i].env.loop);
    sweep_clock(s.pulse[i], i);
  }
  length_clock(s.triangle.length, s.triangle.control);
  length_clock(s.noise.length, s.noise.env.loop);
}

void frame_schedule() {
  ApuHwFrameCounter& f = s.frame;
  f.next = std::min(f.reset_at, f.base + frame_step().at);
}

void frame_event() {
  ApuHwFrameCounter& f = s.frame;
  sync_timers();
  if (f.base + frame_step().at == s.now) {
    const FrameStep& step = frame_step();
    if (step.irq && !f.inhibit) f.irq = true;
    if (step.quarter) quarter_frame();
    if (step.half) half_frame();
    if (step.wrap) {
      f.base = s.now;
      f.step = 0;
    } else {
      ++f.step;
    }
  }
  if (f.reset_at == s.now) {
    f.reset_at = kApuHwNever;
    f.five_step = f.pending & 0x80;
    f.base = s.now;
    f.step = 0;
    if (f.five_step) {
      quarter_frame();
      half_frame();
    }
  }
  frame_schedule();
}

// --- DMC ---

void dmc_restart() {
  s.dmc.address = uint16_t(0xC000 + s.dmc.start_reg * 64);
  s.dmc.bytes_left = uint16_t(s.dmc.length_reg * 16 + 1);
}

void dmc_clock() {
  ApuHwDmc& d = s.dmc;
  if (!d.silent) {
    if (d.shift & 1) {
      if (d.level <= 125) d.level = uint8_t(d.level + 2);
    } else if (d.level >= 2) {
      d.level = uint8_t(d.level - 2);
    }
  }
  d.shift >>= 1;
  if (--d.bits_left == 0) {
    d.bits_left = 8;
    d.silent = !d.buffer_full;
    if (d.buffer_full) {
      d.shift = d.buffer;
      d.buffer_full = false;
      // A reload read tries to halt the CPU from the next put cycle (odd cycles) on.
      if (d.bytes_left) s.dma_at = (s.now + 1) | 1;
    }
  }
  d.next += kDmcPeriods[d.rate_index];
}

// --- Registers ---

// A length load in the cycle of a half-frame clock that counted a nonzero length is lost.
bool length_load_allowed(int channel, uint64_t cycle) {
  return !(cycle == s.frame.half_clock_at && (s.frame.clocked_nonzero >> channel) & 1);
}

void pulse_write(int channel, uint16_t reg, uint8_t v, uint64_t cycle) {
  ApuHwPulse& p = s.pulse[channel];
  switch (reg) {
    case 0:
      p.duty = v >> 6;
      envelope_write(p.env, v);
      break;
    case 1:
      p.sweep_enabled = v & 0x80;
      p.sweep_period = (v >> 4) & 7;
      p.sweep_negate = v & 8;
      p.sweep_shift = v & 7;
      p.sweep_reload = true;
      break;
    case 2: p.timer = uint16_t((p.timer & 0x700) | v); break;
    default:
      p.timer = uint16_t((p.timer & 0xFF) | (v & 7) << 8);
      if (p.enabled && length_load_allowed(channel, cycle)) p.length = kLengths[v >> 3];
      p.step = 0;
      p.env.start = true;
      break;
  }
}

void status_write(uint8_t v, uint64_t cycle) {
  for (int i = 0; i < 2; ++i) {
    s.pulse[i].enabled = (v >> i) & 1;
    if (!s.pulse[i].enabled) s.pulse[i].length = 0;
  }
  s.triangle.enabled = v & 4;
  if (!s.triangle.enabled) s.triangle.length = 0;
  s.noise.enabled = v & 8;
  if (!s.noise.enabled) s.noise.length = 0;
  ApuHwDmc& d = s.dmc;
  d.irq = false;
  if (!(v & 0x10)) {
    d.bytes_left = 0;
    s.dma_at = kApuHwNever;
  } else if (!d.bytes_left) {
    dmc_restart();
    // The first read tries to halt the CPU in the get cycle of the second APU cycle to come.
    if (!d.buffer_full) s.dma_at = (cycle & ~uint64_t(1)) + 4;
  }
}

}  // namespace

void apu_hw_power() {
  s = {};
  apu_hw_mix_clear();
  s.deadline = s.dma_at = s.frame.reset_at = kApuHwNever;
  s.frame.half_clock_at = kApuHwNever;
  for (ApuHwPulse& p : s.pulse) p.next = 2;
  s.triangle.next = 1;
  s.noise.shift = 1;
  s.noise.next = kNoisePeriods[0];
  s.dmc.bits_left = 8;
  s.dmc.silent = true;
  s.dmc.next = kDmcPeriods[0];
  frame_schedule();
  refresh();
}

void apu_hw_run_to(uint64_t end) {
  while (true) {
    const uint64_t t = std::min({end, s.frame.next, s.pulse[0].event, s.pulse[1].event,
                                 s.triangle.event, s.noise.event, s.dmc.next});
    s.now = std::max(s.now, t);
    if (s.now >= end) break;
    if (s.frame.next == s.now) frame_event();
    for (ApuHwPulse& p : s.pulse) {
      if (p.next == s.now && p.event == s.now) {
        p.step = (p.step + 1) & 7;
        p.next += pulse_period(p);
      }
    }
    ApuHwTriangle& t3 = s.triangle;
    if (t3.next == s.now && t3.event == s.now) {
      t3.step = (t3.step + 1) & 31;
      t3.next += t3.timer + 1;
    }
    if (s.noise.next == s.now && s.noise.event == s.now) {
      noise_clock();
      s.noise.next += kNoisePeriods[s.noise.period_index];
    }
    if (s.dmc.next == s.now) dmc_clock();
    refresh();
  }
}

void apu_hw_write(uint16_t address, uint8_t v, uint64_t end) {
  apu_hw_run_to(end);
  sync_timers();
  const uint64_t cycle = end - 1;
  switch (address) {
    case 0x4000:
    case 0x4001:
    case 0x4002:
    case 0x4003:
    case 0x4004:
    case 0x4005:
    case 0x4006:
    case 0x4007: pulse_write((address >> 2) & 1, address & 3, v, cycle); break;
    case 0x4008:
      s.triangle.control = v & 0x80;
      s.triangle.linear_reload = v & 0x7F;
      break;
    case 0x400A: s.triangle.timer = uint16_t((s.triangle.timer & 0x700) | v); break;
    case 0x400B:
      s.triangle.timer = uint16_t((s.triangle.timer & 0xFF) | (v & 7) << 8);
      if (s.triangle.enabled && length_load_allowed(2, cycle)) s.triangle.length = kLengths[v >> 3];
      s.triangle.linear_reload_flag = true;
      break;
    case 0x400C: envelope_write(s.noise.env, v); break;
    case 0x400E:
      s.noise.short_mode = v & 0x80;
      s.noise.period_index = v & 15;
      break;
    case 0x400F:
      if (s.noise.enabled && length_load_allowed(3, cycle)) s.noise.length = kLengths[v >> 3];
      s.noise.env.start = true;
      break;
    case 0x4010:
      s.dmc.irq_enabled = v & 0x80;
      s.dmc.loop = v & 0x40;
      s.dmc.rate_index = v & 15;
      if (!s.dmc.irq_enabled) s.dmc.irq = false;
      break;
    case 0x4011: s.dmc.level = v & 0x7F; break;
    case 0x4012: s.dmc.start_reg = v; break;
    case 0x4013: s.dmc.length_reg = v; break;
    case 0x4015: status_write(v, cycle); break;
    case 0x4017:
      // The sequence restarts 3 or 4 cycles later, on an even cycle; the inhibit bit acts now.
      s.frame.pending = v;
      s.frame.reset_at = (cycle + 4) & ~uint64_t(1);
      s.frame.inhibit = v & 0x40;
      if (s.frame.inhibit) s.frame.irq = false;
      frame_schedule();
      break;
    default: break;
  }
  refresh();
}

uint8_t apu_hw_read_status(uint64_t end) {
  apu_hw_run_to(end);
  const uint8_t v =
      uint8_t((s.pulse[0].length ? 0x01 : 0) | (s.pulse[1].length ? 0x02 : 0) |
              (s.triangle.length ? 0x04 : 0) | (s.noise.length ? 0x08 : 0) |
              (s.dmc.bytes_left ? 0x10 : 0) | (s.frame.irq ? 0x40 : 0) | (s.dmc.irq ? 0x80 : 0));
  if (s.frame.irq) {
    s.frame.irq = false;
    refresh();
  }
  return v;
}

void apu_hw_dma_fill(uint8_t v, uint64_t end) {
  apu_hw_run_to(end);
  ApuHwDmc& d = s.dmc;
  s.dma_at = kApuHwNever;
  d.buffer = v;
  d.buffer_full = true;
  d.address = d.address == 0xFFFF ? 0x8000 : uint16_t(d.address + 1);
  if (d.bytes_left && --d.bytes_left == 0) {
    if (d.loop) {
      dmc_restart();
    } else if (d.irq_enabled) {
      d.irq = true;
    }
  }
  refresh();
}
