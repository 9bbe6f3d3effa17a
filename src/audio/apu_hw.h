// The hardware profile's sound chip: the console's APU run on the CPU's cycle count. The frame
// counter clocks envelopes, sweeps and the length and linear counters at the console's cycle
// positions and raises the frame interrupt; the sample channel (DMC) reads its bytes through the
// machine's bus, which stalls the CPU for each read. The five outputs go through the console's
// nonlinear mixer into the same 735-sample blocks per frame as the classic synthesiser.
//
// Time is the bus's cycle count since power-on. The chip is run lazily: up to the cycle of each
// register access, up to `deadline` (the first event that can change the IRQ line or start a DMC
// read) and up to the end of each frame. Every call takes `end`, the number of cycles completed
// including the current one, so an access in the cycle with index c passes c + 1.
//
// Simplifications: the triangle freezes with a timer period below 2 (the console plays it
// ultrasonically, near the middle level); the cycles of a DMC stall do not repeat the CPU's read.
#pragma once

#include <cstdint>

inline constexpr uint64_t kApuHwNever = ~uint64_t(0);

struct ApuHwEnvelope {
  uint8_t volume;  // constant volume, or the divider's period
  uint8_t divider;
  uint8_t decay;
  bool constant;
  bool loop;  // also the length counter's halt
  bool start;
};

struct ApuHwPulse {
  ApuHwEnvelope env;
  uint64_t next;   // cycle of the next sequencer clock
  uint64_t event;  // next while the clock can change the output, else never
  uint16_t timer;  // 11-bit period
  uint8_t duty;
  uint8_t step;  // 0-7
  uint8_t length;
  bool enabled;
  bool sweep_enabled;
  bool sweep_negate;
  bool sweep_reload;
  uint8_t sweep_period;
  uint8_t sweep_shift;
  uint8_t sweep_divider;
};

struct ApuHwTriangle {
  uint64_t next;
  uint64_t event;
  uint16_t timer;
  uint8_t step;  // 0-31
  uint8_t length;
  uint8_t linear;
  uint8_t linear_reload;
  bool control;  // also the length counter's halt
  bool linear_reload_flag;
  bool enabled;
};

struct ApuHwNoise {
  ApuHwEnvelope env;
  uint64_t next;
  uint64_t event;
  uint16_t shift;  // 15-bit feedback register
  uint8_t period_index;
  uint8_t length;
  bool short_mode;
  bool enabled;
};

struct ApuHwDmc {
  uint64_t next;  // cycle of the next output clock
  uint16_t address;
  uint16_t bytes_left;
  uint8_t rate_index;
  uint8_t level;  // 7-bit output
  uint8_t start_reg;
  uint8_t length_reg;
  uint8_t shift;
  uint8_t bits_left;
  uint8_t buffer;
  bool buffer_full;
  bool silent;
  bool irq_enabled;
  bool loop;
  bool irq;
};

struct ApuHwFrameCounter {
  uint64_t base;      // cycle the sequence (re)started
  uint64_t next;      // cycle of the next step, or of the pending $4017 reset if earlier
  uint64_t reset_at;  // a written $4017 takes effect here (never when none is pending)
  uint8_t step;       // index into the mode's step list
  uint8_t pending;    // the $4017 value waiting for reset_at
  bool five_step;
  bool inhibit;
  bool irq;
  uint64_t half_clock_at;   // cycle of the last half-frame clock
  uint8_t clocked_nonzero;  // channels (bits 0-3) whose length was not 0 at that clock
};

// Plain data, saved byte for byte in a state.
struct ApuHw {
  uint64_t now;       // cycles run
  uint64_t deadline;  // run the chip once the bus has passed this cycle
  uint64_t dma_at;    // a DMC read waits from this cycle on (never when none)
  ApuHwFrameCounter frame;
  ApuHwPulse pulse[2];
  ApuHwTriangle triangle;
  ApuHwNoise noise;
  ApuHwDmc dmc;
  bool irq_line;  // the frame or the DMC interrupt
  // Output
  uint64_t block_start;  // cycle the current block of samples began
  float block_level;     // the mixer's output at that cycle
  float level;           // the mixer's output now
  float filter_in[2];    // the two high-pass filters' last input ...
  float filter_out[2];   // ... and output
};
extern ApuHw apu_hw;

// Power-on: channels silent, the frame counter in its 4-step mode as if $4017 had been written
// with 0 just before the first cycle.
void apu_hw_power();
// Runs the chip through the cycles before `end`.
void apu_hw_run_to(uint64_t end);
// A write to $4000-$4013, $4015 or $4017, or a read of $4015 (which clears the frame interrupt),
// in the cycle end - 1.
void apu_hw_write(uint16_t address, uint8_t v, uint64_t end);
uint8_t apu_hw_read_status(uint64_t end);
// The address the pending DMC read fetches, and its byte, read in the cycle end - 1.
inline uint16_t apu_hw_dma_address() { return apu_hw.dmc.address; }
void apu_hw_dma_fill(uint8_t v, uint64_t end);

// Fills count unsigned 8-bit samples from the cycles run since the last call (run the chip to the
// end of the frame first); the sound output's render path in the hardware profile.
void apu_hw_render(uint8_t* buffer, uint32_t count);

// The mixer, internal to src/audio: the level of the five outputs (pulses 0-15, triangle 0-15,
// noise 0-15, DMC 0-127), and the record of a new level from cycle `at` on.
float apu_hw_mix(int pulse1, int pulse2, int triangle, int noise, int dmc);
void apu_hw_mix_change(uint64_t at, float level);
void apu_hw_mix_clear();
