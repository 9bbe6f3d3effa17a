// Samples per second of the synthesiser: frames of 735 samples with all four tone channels
// playing and a handful of logged register writes per frame, as a game's music driver makes.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "audio/apu.h"

namespace {

uint32_t frame_clock(uint32_t) { return 0; }

void start_all_channels() {
  const struct {
    uint32_t address;
    uint8_t value;
  } notes[] = {
      {0x4015, 0x0F}, {0x4000, 0xBF}, {0x4002, 0xFD}, {0x4003, 0x08},  // square 1, 440 Hz
      {0x4004, 0x64}, {0x4005, 0x9A}, {0x4006, 0x52}, {0x4007, 0x09},  // square 2, envelope, sweep
      {0x4008, 0xFF}, {0x400A, 0x7E}, {0x400B, 0x08},                  // triangle
      {0x400C, 0x3A}, {0x400E, 0x04}, {0x400F, 0x08},                  // noise
  };
  for (const auto& n : notes) apu_apply_write(n.address, n.value);
}

void BM_ApuRender(benchmark::State& state) {
  const ApuCycleSource saved = apu_cycle_source;
  apu_cycle_source = frame_clock;
  apu_reset();
  start_all_channels();
  uint8_t block[SAMPLES_PER_FRAME];
  uint8_t note = 0;
  for (auto _ : state) {
    note = static_cast<uint8_t>(note + 7);
    apu_log_write(0x4002, note);
    apu_log_write(0x4003, 0x08 | (note & 1));
    apu_log_write(0x4006, static_cast<uint8_t>(note ^ 0x55));
    apu_log_write(0x400A, note);
    apu_log_write(0x400B, 0x08);
    apu_log_write(0x400E, note & 0x0F);
    apu_render(block, SAMPLES_PER_FRAME);
    benchmark::DoNotOptimize(block);
  }
  state.counters["samples_per_s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * SAMPLES_PER_FRAME, benchmark::Counter::kIsRate);
  apu_cycle_source = saved;
}
BENCHMARK(BM_ApuRender);

}  // namespace
