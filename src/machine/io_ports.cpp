#include "machine/io_ports.h"

#include "audio/apu.h"

JoypadPort joypad[2] = {};

namespace {

constexpr int kJoypadBits = 24;

uint8_t read_joypad(JoypadPort& port) {
  const uint8_t bit = uint8_t((port.stream >> port.bit_index) & 1);
  port.bit_index = uint8_t((port.bit_index + 1) % kJoypadBits);
  return bit | 0x40;
}

}  // namespace

uint8_t io_read(uint32_t address) {
  switch (address) {
    case 0x4015: return uint8_t(apu_read_status(address));
    case 0x4016: return read_joypad(joypad[0]);
    case 0x4017: return read_joypad(joypad[1]);
    default: return 0;
  }
}

void io_write(uint32_t address, uint8_t v) {
  if (address == 0x4016) {
    // A write with bit 0 clear restarts both streams.
    if (!(v & 1)) joypad[0].bit_index = joypad[1].bit_index = 0;
  } else if ((address >= 0x4000 && address <= 0x4013) || address == 0x4015) {
    apu_log_write(address, v);
  }
}
