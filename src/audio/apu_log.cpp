// The write log and the per-frame render that drains it.
#include <algorithm>
#include <bit>

#include "audio/apu.h"
#include "cpu/cpu.h"

static_assert(std::bit_cast<uint32_t>(CYCLES_PER_SAMPLE) == 0x42225671u);

ApuWriteLog apu_write_log;
int32_t apu_render_position;
uint8_t apu_channel_switches;
std::atomic<uint8_t> apu_channel_enabled{kApuChannelAll};
ApuPcmSource apu_pcm_source;
ApuCycleSource apu_cycle_source = cpu_get_cycles;

static int32_t current_cycles() { return static_cast<int32_t>(apu_cycle_source(0)); }

// A write costs the CPU one append; everything else waits for the render.
void apu_log_write(uint32_t address, uint32_t value) {
  if (address < 0x4000 || address > 0x4015 || address == 0x4014) return;
  ApuWriteLog& log = apu_write_log;
  log.entries[log.head] = {current_cycles(), address, value & 0xFF};
  log.head = (log.head + 1) % kApuLogSize;
}

// Applies the writes that are due at the render position, in log order: an entry stamped later
// than the position holds back every entry behind it, whatever their stamps.
static void apply_due_writes() {
  ApuWriteLog& log = apu_write_log;
  while (log.tail != log.head && log.entries[log.tail].stamp <= apu_render_position) {
    const ApuLogEntry& entry = log.entries[log.tail];
    log.tail = (log.tail + 1) % kApuLogSize;
    apu_apply_write(entry.address, static_cast<uint8_t>(entry.value));
  }
}

void apu_render(uint8_t* buffer, uint32_t count) {
  // The mute mask is read once per block; a muted channel is still run, its level masked off.
  const uint8_t audible = apu_channel_enabled.load(std::memory_order_relaxed);
  auto keep = [audible](uint8_t bit) { return (audible & bit) ? -1 : 0; };
  const int keep_square1 = keep(kApuChannelSquare1);
  const int keep_square2 = keep(kApuChannelSquare2);
  const int keep_triangle = keep(kApuChannelTriangle);
  const int keep_noise = keep(kApuChannelNoise);
  const int keep_pcm = keep(kApuChannelPcm);
  const uint8_t on = apu_channel_switches;

  for (uint32_t i = 0; i < count; ++i) {
    apply_due_writes();
    // Wrapping add: the position follows whatever the cycle source reports.
    apu_render_position = static_cast<int32_t>(static_cast<uint32_t>(apu_render_position) +
                                               static_cast<uint32_t>(kApuRenderStep));
    int sum = 0;
    if (on & kApuChannelSquare1) sum += apu_square_sample(0) & keep_square1;
    if (on & kApuChannelSquare2) sum += apu_square_sample(1) & keep_square2;
    if (on & kApuChannelTriangle) sum += apu_triangle_sample() & keep_triangle;
    if (on & kApuChannelNoise) sum += apu_noise_sample() & keep_noise;
    if ((on & kApuChannelPcm) && apu_pcm_source) sum += apu_pcm_source() & keep_pcm;
    buffer[i] = static_cast<uint8_t>(std::clamp(sum * 2, -128, 127) + 128);
  }
  apu_render_position = current_cycles();
}
