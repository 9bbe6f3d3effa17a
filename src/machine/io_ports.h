// The console's I/O ports at $4000-$4017 that both profiles share: the two joypads and the
// sound registers. Sprite DMA ($4014) is the profile's own, since its timing differs.
#pragma once

#include <cstdint>

// A joypad's 24-bit stream, delivered one bit per read from bit 0 on.
struct JoypadPort {
  uint32_t stream;
  uint8_t bit_index;  // 0-23
};
extern JoypadPort joypad[2];  // $4016, $4017

inline constexpr uint32_t kSpriteDmaPort = 0x4014;

// A read of $4015-$4017 (the APU status and the joypads); other addresses read as open (0).
uint8_t io_read(uint32_t address);
// A write of $4000-$4013, $4015 (the APU) or $4016 (the joypad strobe); others are ignored.
void io_write(uint32_t address, uint8_t v);
