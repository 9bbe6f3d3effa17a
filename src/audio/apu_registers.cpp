// The channel records, the register writes that the render applies, the $4015 status and reset.
#include <cstring>

#include "audio/apu.h"
#include "audio/apu_tables.h"

SquareChannel apu_square[2];
TriangleChannel apu_triangle;
NoiseChannel apu_noise;
DmcState apu_dmc;
ApuBusWrite apu_reset_bus_write = apu_log_write;

// Register values reach the channels only while the channel is enabled; the byte itself is
// always stored. Lengths are loaded in output samples.
static int32_t length_samples(uint8_t value) {
  return static_cast<int32_t>(apu_length_table[value >> 3] * SAMPLES_PER_FRAME);
}

static int32_t square_period(uint8_t high, uint8_t low) {
  return ((high & 7) * 256 + low + 1) * 65536;
}

// $4002 / $4006: timer low; takes effect at once.
static void square_write_timer_low(SquareChannel& sq, uint8_t value) {
  sq.reg2 = value;
  if (sq.enabled) sq.period = square_period(sq.reg3, value);
}

// $4003 / $4007: length index and timer high. Restarts the envelope; the sequencer phase and
// step, and the envelope and sweep timers, carry on undisturbed.
static void square_write_timer_high(SquareChannel& sq, uint8_t value) {
  sq.reg3 = value;
  if (!sq.enabled) return;
  sq.length = length_samples(value);
  sq.envelope_count = 0;
  sq.period = square_period(value, sq.reg2);
}

// $4000-$4007.
static void square_write(SquareChannel& sq, uint32_t reg, uint8_t value) {
  switch (reg) {
    case 0: sq.reg0 = value; break;
    case 1: sq.reg1 = value; break;
    case 2: square_write_timer_low(sq, value); break;
    default: square_write_timer_high(sq, value); break;
  }
}

static int32_t linear_samples(uint8_t reg0) {
  return static_cast<int32_t>(((reg0 & 0x7Fu) * SAMPLES_PER_FRAME) >> 2);
}

// $4008: linear counter. The reload value counts in quarter frames; a running counter is not
// touched.
static void triangle_write_linear(uint8_t value) {
  TriangleChannel& tri = apu_triangle;
  tri.reg0 = value;
  if (tri.enabled && !tri.counting) tri.linear = linear_samples(value);
}

// $400B: length index and timer high; starts a new load phase.
static void triangle_write_timer_high(uint8_t value) {
  TriangleChannel& tri = apu_triangle;
  tri.reg3 = value;
  tri.delay = 3;
  if (!tri.enabled) return;
  tri.counting = 0;
  tri.length = static_cast<uint32_t>(length_samples(value));
  tri.linear = linear_samples(tri.reg0);
}

// $400F: length index; restarts the envelope.
static void noise_write_length(uint8_t value) {
  apu_noise.reg3 = value;
  if (!apu_noise.enabled) return;
  apu_noise.envelope_count = 0;
  apu_noise.length = length_samples(value);
}

// $4010: a write with the IRQ-enable bit clear acknowledges the interrupt.
static void dmc_write_control(uint8_t value) {
  apu_dmc.reg0 = value;
  if (!(value & 0x80)) apu_dmc.interrupt_flag = 0;
}

// $4015: channel enables. Enabling changes nothing else (a channel waits for its next length
// write); disabling silences it at once. The DMC only records its sample for the status.
static void apu_write_status(uint8_t value) {
  for (int i = 0; i < 2; ++i) {
    apu_square[i].enabled = (value >> i) & 1;
    if (!apu_square[i].enabled) apu_square[i].length = 0;
  }
  apu_triangle.enabled = (value >> 2) & 1;
  if (!apu_triangle.enabled) {
    apu_triangle.length = 0;
    apu_triangle.linear = 0;
    apu_triangle.delay = 0;
    apu_triangle.counting = 0;
  }
  apu_noise.enabled = (value >> 3) & 1;
  if (!apu_noise.enabled) apu_noise.length = 0;

  DmcState& dmc = apu_dmc;
  if (!(value & 0x10)) {
    dmc.active = 0;
  } else if (!dmc.active) {
    dmc.active = 1;
    dmc.sample_address = 0xC000 + (static_cast<uint32_t>(dmc.reg2) << 6);
    dmc.sample_length = (static_cast<uint32_t>(dmc.reg3) << 4) + 1;
    dmc.sample_bits = dmc.sample_length * 8;
  }
  dmc.interrupt_flag = 0;
}

void apu_apply_write(uint32_t address, uint8_t value) {
  switch (address) {
    case 0x4000:
    case 0x4001:
    case 0x4002:
    case 0x4003:
    case 0x4004:
    case 0x4005:
    case 0x4006:
    case 0x4007: square_write(apu_square[(address >> 2) & 1], address & 3, value); break;
    case 0x4008: triangle_write_linear(value); break;
    case 0x4009: apu_triangle.reg1 = value; break;
    case 0x400A: apu_triangle.reg2 = value; break;
    case 0x400B: triangle_write_timer_high(value); break;
    case 0x400C: apu_noise.reg0 = value; break;
    case 0x400D: apu_noise.reg1 = value; break;
    case 0x400E: apu_noise.reg2 = value; break;
    case 0x400F: noise_write_length(value); break;
    case 0x4010: dmc_write_control(value); break;
    case 0x4011: apu_dmc.reg1 = value; break;
    case 0x4012: apu_dmc.reg2 = value; break;
    case 0x4013: apu_dmc.reg3 = value; break;
    case 0x4015: apu_write_status(value); break;
    default: break;
  }
}

// Bits 0-3: tone channel enabled with length left; 4: DMC sample pending; 6: always set;
// 7: DMC interrupt (never raised here).
uint8_t apu_read_status(uint32_t address) {
  if (address != 0x4015) return 0xFF;
  uint8_t status = 0x40;
  if (apu_square[0].enabled && apu_square[0].length != 0) status |= 0x01;
  if (apu_square[1].enabled && apu_square[1].length != 0) status |= 0x02;
  if (apu_triangle.enabled && apu_triangle.length != 0) status |= 0x04;
  if (apu_noise.enabled && apu_noise.length != 0) status |= 0x08;
  if (apu_dmc.active && apu_dmc.sample_length != 0) status |= 0x10;
  if (apu_dmc.interrupt_flag) status |= 0x80;
  return status;
}

static void clear_log_and_channels() {
  apu_write_log.head = 0;
  std::memset(apu_write_log.entries, 0, sizeof apu_write_log.entries);
  apu_square[0] = {};
  apu_square[1] = {};
  apu_triangle = {};
  apu_noise = {};
  apu_dmc = {};
  apu_write_log.tail = 0;
}

// The register sweep goes out through the machine's write path for the side effect of its $4014
// write (sprite DMA); the APU writes it logs are thrown away by the second clear. After reset
// every channel is disabled until the game writes $4015.
void apu_reset() {
  clear_log_and_channels();
  for (uint32_t address = 0x4000; address <= 0x4015; ++address) apu_reset_bus_write(address, 0);
  apu_reset_bus_write(0x4015, 0x0F);
  apu_build_noise_table();
  apu_channel_switches = kApuChannelAll;
  clear_log_and_channels();
  apu_pcm_source = nullptr;
}
