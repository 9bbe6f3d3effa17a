// The audio processor: a cycle-stamped log of register writes and the synthesiser that turns it
// into one block of unsigned 8-bit mono samples per frame.
//
// The APU is not clocked with the CPU. During a frame a register write is only appended to the
// log (apu_log_write); once per frame the sound output calls apu_render, which walks the block
// sample by sample, applies the writes whose stamps have been reached and advances the two
// squares, the triangle and the noise channel by one sample each. Timers run in CPU cycles (float);
// length counters, the linear counter, envelopes and sweeps are pre-scaled into output samples.
// The sample channel (DMC) only keeps its registers for the $4015 status.
//
// Everything runs on the emulation thread, except apu_channel_enabled (the user's mute mask),
// which the user-interface thread may change at any time.
#pragma once

#include <atomic>
#include <cstdint>

// ---------------------------------------------------------------------------------------------
// Fixed quantities

inline constexpr uint32_t kApuSampleRate = 44100;
// Output samples per emulated frame; the frame unit of every length, envelope, sweep and linear
// counter computation. Both rates are constants rather than values that apu_reset sets, so they
// hold even for writes applied before the first reset.
inline constexpr uint32_t SAMPLES_PER_FRAME = 735;
// CPU cycles per output sample, in single precision: the channel timers subtract exactly this
// value, while the render position advances by its truncation, kApuRenderStep.
inline constexpr float CYCLES_PER_SAMPLE = 40.584415f;  // bit pattern 0x42225671
inline constexpr int32_t kApuRenderStep = 40;

inline constexpr uint32_t kApuLogSize = 8192;
inline constexpr uint32_t kNoiseTableSize = 16384;

// Channel bits, shared by the mixer's switches and the user's mute mask.
inline constexpr uint8_t kApuChannelSquare1 = 0x01;
inline constexpr uint8_t kApuChannelSquare2 = 0x02;
inline constexpr uint8_t kApuChannelTriangle = 0x04;
inline constexpr uint8_t kApuChannelNoise = 0x08;
inline constexpr uint8_t kApuChannelPcm = 0x10;
inline constexpr uint8_t kApuChannelAll = 0x1F;

// ---------------------------------------------------------------------------------------------
// Records

struct ApuLogEntry {
  int32_t stamp;     // CPU cycle count of the current scanline at the time of the write
  uint32_t address;  // $4000-$4013 or $4015
  uint32_t value;    // the byte written, in the low 8 bits
};

// Ring of pending writes; empty when head == tail. There is no full check: 8192 writes between
// two renders make the ring read as empty again.
struct ApuWriteLog {
  ApuLogEntry entries[kApuLogSize];
  uint32_t head;  // next slot to fill
  uint32_t tail;  // next entry to apply
};

struct SquareChannel {
  uint8_t reg0;    // duty (7-6), length halt / envelope loop (5), constant volume (4), volume (3-0)
  uint8_t reg1;    // sweep enable (7), period (6-4), negate (3), shift (2-0)
  uint8_t reg2;    // timer low 8 bits
  uint8_t reg3;    // length index (7-3), timer high 3 bits
  int32_t length;  // remaining output samples
  int32_t period;  // 16.16 fixed point; integer part = 11-bit timer + 1
  float phase;     // CPU cycles until the next sequencer step
  float envelope_timer;
  float sweep_timer;
  uint8_t step;            // sequencer position 0-15
  uint8_t envelope_count;  // 0-15; the decaying volume is 15 - count
  uint8_t enabled;         // set and cleared through $4015
};

struct TriangleChannel {
  uint8_t reg0;     // control / length halt (7), linear reload value (6-0)
  uint8_t reg1;     // stored only
  uint8_t reg2;     // timer low
  uint8_t reg3;     // length index (7-3), timer high 3 bits
  int32_t linear;   // linear counter, output samples
  uint32_t length;  // length counter, output samples
  uint32_t delay;   // samples until counting begins after a $400B write
  float phase;
  float level;       // output level of the current step
  uint8_t step;      // 0-31
  uint8_t counting;  // 0 in the load phase after $400B, 1 once counting has begun
  uint8_t enabled;
};

struct NoiseChannel {
  uint8_t reg0;      // as a square's reg0, without duty
  uint8_t reg1;      // stored only
  uint8_t reg2;      // short mode (7), period index (3-0)
  uint8_t reg3;      // length index (7-3)
  int32_t position;  // index into apu_noise_table
  int32_t length;
  float phase;
  float envelope_timer;
  uint8_t envelope_count;
  uint8_t enabled;
};

// The sample channel: registers and status only, no playback.
struct DmcState {
  uint8_t reg0;  // $4010
  uint8_t reg1;  // $4011
  uint8_t reg2;  // $4012, sample address
  uint8_t reg3;  // $4013, sample length
  uint32_t sample_address;
  uint32_t sample_length;  // bytes
  uint32_t sample_bits;
  uint8_t active;
  uint8_t interrupt_flag;
};

// Shift-register output that the noise channel plays instead of clocking a register per step.
using NoiseTable = uint8_t[kNoiseTableSize];

// Where stamps and the render position come from: the CPU's cycle count (clear = 0 reads it
// without clearing). Points at cpu_get_cycles; tests point it at their own clock.
using ApuCycleSource = uint32_t (*)(uint32_t clear);
// The write path apu_reset uses for its register sweep $4000-$4015. Points at apu_log_write;
// the machine points it at the CPU register dispatch so that the $4014 write of the sweep
// performs its sprite DMA from page $00.
using ApuBusWrite = void (*)(uint32_t address, uint32_t value);
// Optional sample source, called once per output sample; its signed level joins the mix.
using ApuPcmSource = int8_t (*)();

// ---------------------------------------------------------------------------------------------
// The one APU

extern ApuWriteLog apu_write_log;
extern int32_t apu_render_position;  // in the same cycle units as the stamps
extern SquareChannel apu_square[2];  // square 1 ($4000-$4003), square 2 ($4004-$4007)
extern TriangleChannel apu_triangle;
extern NoiseChannel apu_noise;
extern DmcState apu_dmc;
extern NoiseTable apu_noise_table;

// The mixer's channel switches: a channel whose switch is off is not called at all. All on after
// apu_reset, all off before the first reset.
extern uint8_t apu_channel_switches;
// The user's mute mask (Audio menu): a muted channel still advances, it only adds silence.
// All on at program start; apu_reset leaves it alone.
extern std::atomic<uint8_t> apu_channel_enabled;

extern ApuPcmSource apu_pcm_source;
extern ApuCycleSource apu_cycle_source;
extern ApuBusWrite apu_reset_bus_write;

// ---------------------------------------------------------------------------------------------
// Operations

// Appends a write to $4000-$4013 or $4015 to the log; any other address is ignored.
void apu_log_write(uint32_t address, uint32_t value);
// $4015: the status byte; any other address: 0xFF. Changes nothing.
uint8_t apu_read_status(uint32_t address);
// Fills count samples (128 is silence). With count 0 it only resynchronises the render position.
void apu_render(uint8_t* buffer, uint32_t count);
// Applies one logged write to the channel records.
void apu_apply_write(uint32_t address, uint8_t value);
// Each advances its channel by one output sample and returns its signed level.
int8_t apu_square_sample(int channel);
int8_t apu_triangle_sample();
int8_t apu_noise_sample();
// Clears log and channels, builds the next stretch of the noise table, switches all channels on.
void apu_reset();
