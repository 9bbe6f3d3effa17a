// Lines per second of the scanline renderer: background and sprites of a busy frame, together
// and each pass alone.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "cart/mapper.h"
#include "machine/machine.h"
#include "ppu/nametable_view.h"
#include "ppu/palettes.h"
#include "ppu/ppu.h"
#include "ppu/renderer.h"

namespace {

// A frame's worth of varied tiles (about one tile row in eight transparent), scrolled, with
// sixteen sprites spread over the screen, some of them in front, some behind, some flipped.
struct Scene {
  std::vector<uint8_t> chr = std::vector<uint8_t>(0x2000);
  std::vector<uint8_t> names = std::vector<uint8_t>(0x800);
  std::vector<uint8_t> palette = std::vector<uint8_t>(32);
  std::vector<uint8_t> frame = std::vector<uint8_t>(kFrameBufferSize);

  Scene() {
    std::mt19937 rng(7);
    for (auto& b : chr) b = static_cast<uint8_t>(rng());
    for (uint32_t i = 0; i < chr.size(); i += 16) {
      if (rng() % 8 == 0) std::fill(chr.begin() + i, chr.begin() + i + 16, 0);
    }
    for (auto& b : names) b = static_cast<uint8_t>(rng());
    for (auto& b : palette) b = static_cast<uint8_t>(rng() & 0x3F);
    for (int i = 0; i < 8; ++i) ppu_pages.pattern_page[i] = chr.data() + i * kPpuPageSize;
    for (int i = 0; i < 4; ++i) ppu_pages.render_nametable[i] = names.data() + (i & 1) * 0x400;
    ppu_pages.palette_page = palette.data();
    mapper_state.mapper_ppu_latch_hook = nullptr;

    ppu = {};
    ppu.background_enable = 0x08;
    ppu.sprite_enable = 0x10;
    ppu.sprite_height_mask = 7;
    ppu.ctrl = 0x10;
    ppu.coarse_x = 12;
    ppu.fine_x = 3;
    ppu.scroll_y = 40;
    for (int i = 0; i < 64; ++i) ppu.oam[4 * i] = 0xF8;
    for (int i = 0; i < 16; ++i) {
      ppu.oam[4 * i] = static_cast<uint8_t>(i * 14);
      ppu.oam[4 * i + 1] = static_cast<uint8_t>(rng());
      ppu.oam[4 * i + 2] = static_cast<uint8_t>(rng() & 0xE3);
      ppu.oam[4 * i + 3] = static_cast<uint8_t>(rng());
    }
  }
  ~Scene() { ppu_pages = {}; }
};

void BM_RenderLines(benchmark::State& state) {
  Scene scene;
  int64_t lines = 0;
  for (auto _ : state) {
    for (uint16_t line = 0; line < kFrameRows; ++line) {
      uint8_t* row = scene.frame.data() + line * kFrameRowBytes;
      ppu_render_background(line, row);
      ppu_render_sprites(line, row);
    }
    ppu.status = 0;  // let sprite 0 be checked again next frame
    lines += kFrameRows;
    benchmark::DoNotOptimize(scene.frame.data());
  }
  state.counters["lines_per_s"] = benchmark::Counter(double(lines), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderLines);

// One pass over all 240 lines: the background pass, or the sprite pass over a drawn background.
template <void (*pass)(uint16_t, uint8_t*)>
void render_pass(benchmark::State& state) {
  Scene scene;
  for (uint16_t line = 0; line < kFrameRows; ++line) {
    ppu_render_background(line, scene.frame.data() + line * kFrameRowBytes);
  }
  const std::vector<uint8_t> background = scene.frame;
  int64_t lines = 0;
  for (auto _ : state) {
    for (uint16_t line = 0; line < kFrameRows; ++line) {
      pass(line, scene.frame.data() + line * kFrameRowBytes);
    }
    state.PauseTiming();
    scene.frame = background;  // sprites draw over the same background each time
    ppu.status = 0;
    state.ResumeTiming();
    lines += kFrameRows;
    benchmark::DoNotOptimize(scene.frame.data());
  }
  state.counters["lines_per_s"] = benchmark::Counter(double(lines), benchmark::Counter::kIsRate);
}
void BM_BackgroundLines(benchmark::State& state) { render_pass<ppu_render_background>(state); }
void BM_SpriteLines(benchmark::State& state) { render_pass<ppu_render_sprites>(state); }
BENCHMARK(BM_BackgroundLines);
BENCHMARK(BM_SpriteLines);

// Pictures per second of the name-table viewer, which redraws all four tables every 16 ms.
void BM_NametableView(benchmark::State& state) {
  Scene scene;
  std::vector<uint32_t> colours(kNametableViewColours);
  std::vector<uint32_t> pixels(kNametableViewWidth * kNametableViewHeight);
  nametable_viewer_colours(ppu_palettes[0], colours.data());
  int64_t pictures = 0;
  for (auto _ : state) {
    nametable_view_render(pixels.data(), colours.data());
    ++pictures;
    benchmark::DoNotOptimize(pixels.data());
  }
  state.counters["pictures_per_s"] =
      benchmark::Counter(double(pictures), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_NametableView);

}  // namespace
