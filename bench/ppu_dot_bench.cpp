// Frames per second of the dot-clocked PPU with background and sprites on: a whole frame in one
// call, and the same frame in the 3-dot steps a CPU cycle makes.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "cart/mapper.h"
#include "machine/machine.h"
#include "ppu/ppu.h"
#include "ppu/ppu_dot.h"

namespace {

constexpr uint32_t kFrameDots = 341 * 262;

// Random patterns, name tables and palette; sixteen sprites spread over the screen, some
// behind the background, some flipped; the MMC3's A12 watcher installed.
struct DotScene {
  std::vector<uint8_t> memory = std::vector<uint8_t>(kVramSize);
  std::vector<uint8_t> frame = std::vector<uint8_t>(kFrameBufferSize);

  DotScene() {
    std::mt19937 rng(7);
    for (auto& b : memory) b = static_cast<uint8_t>(rng());
    for (uint32_t i = 0; i < 32; ++i) memory[0x3F00 + i] &= 0x3F;
    vram = memory.data();
    frame_buffer = frame.data();
    for (int i = 0; i < 8; ++i) ppu_pages.pattern_page[i] = vram + i * kPpuPageSize;
    for (int i = 0; i < 4; ++i) ppu_pages.nametable_page[i] = vram + 0x2000 + (i & 1) * 0x400;
    ppu_pages.palette_page = vram + 0x3F00;
    mapper_state.mapper_ppu_latch_hook = nullptr;
    ppu_dot_a12_rise = [] {};

    ppu = {};
    ppu_dot_power();
    for (int i = 0; i < 64; ++i) ppu.oam[4 * i] = 0xF8;
    for (int i = 0; i < 16; ++i) {
      ppu.oam[4 * i] = static_cast<uint8_t>(i * 14);
      ppu.oam[4 * i + 1] = static_cast<uint8_t>(rng());
      ppu.oam[4 * i + 2] = static_cast<uint8_t>(rng() & 0xE3);
      ppu.oam[4 * i + 3] = static_cast<uint8_t>(rng());
    }
    ppu_dot_write(0x2000, 0x08);
    ppu_dot_write(0x2005, 99);
    ppu_dot_write(0x2005, 40);
    ppu_dot_write(0x2001, 0x1E);
  }
  ~DotScene() {
    ppu_pages = {};
    ppu_dot_a12_rise = nullptr;
    vram = frame_buffer = nullptr;
  }
};

void BM_DotFrames(benchmark::State& state) {
  DotScene scene;
  const uint32_t step = static_cast<uint32_t>(state.range(0));
  int64_t frames = 0;
  for (auto _ : state) {
    for (uint32_t done = 0; done < kFrameDots; done += step) ppu_dot_run(step);
    ++frames;
    benchmark::DoNotOptimize(scene.frame.data());
  }
  state.counters["frames_per_s"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DotFrames)->Arg(kFrameDots)->Arg(3);

}  // namespace
