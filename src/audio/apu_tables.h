// Read-only tables of the channels and the noise table's construction. Internal to src/audio.
#pragma once

#include <cstdint>

// Length in frames, indexed by bits 7-3 of a channel's fourth register.
extern const uint8_t apu_length_table[32];
// Highest timer integer part a square may play with negate clear, indexed by the sweep shift.
extern const int32_t apu_sweep_limit[8];
// Noise step length in CPU cycles, indexed by bits 3-0 of $400E.
extern const int32_t apu_noise_period[16];
// Steps out of 16 that play the negative level, indexed by the square's duty bits.
extern const int32_t apu_duty_threshold[4];

// The register behind the noise table. Survives resets, so that every reset continues the
// sequence where the last one stopped; starts at 0x11.
extern uint32_t apu_noise_shift_register;

// Fills apu_noise_table with the next 16384 outputs of the noise shift register.
void apu_build_noise_table();
