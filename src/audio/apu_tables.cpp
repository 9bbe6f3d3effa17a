// Constant tables of the channels and the noise shift register behind apu_noise_table.
#include "audio/apu_tables.h"

#include "audio/apu.h"

const uint8_t apu_length_table[32] = {
    5, 127, 10, 1, 19, 2,  40, 3,  80, 4,  30, 5,  7, 6,  13, 7,  //
    6, 8,   12, 9, 24, 10, 48, 11, 96, 12, 36, 13, 8, 14, 16, 15,
};

const int32_t apu_sweep_limit[8] = {0x3FF, 0x555, 0x666, 0x71C, 0x787, 0x7C1, 0x7E0, 0x7F0};

const int32_t apu_noise_period[16] = {4,   8,   16,  32,  64,  96,   128,  160,
                                      202, 254, 380, 508, 762, 1016, 2034, 2046};

const int32_t apu_duty_threshold[4] = {2, 4, 8, 12};

NoiseTable apu_noise_table;

uint32_t apu_noise_shift_register = 0x11;

// Each step shifts right and feeds the XOR of the two low bits back in at bit 12.
void apu_build_noise_table() {
  uint32_t r = apu_noise_shift_register;
  for (uint8_t& out : apu_noise_table) {
    r = (r >> 1) | (((r ^ (r >> 1)) & 1u) << 12);
    out = static_cast<uint8_t>(r);
  }
  apu_noise_shift_register = r;
}
