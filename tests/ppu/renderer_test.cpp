#include "ppu/renderer.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "cart/mapper.h"
#include "machine/machine.h"
#include "ppu/ppu.h"

namespace {

std::vector<uint16_t> latched;  // addresses the latch hook saw
void record_latch(uint16_t* address) { latched.push_back(*address); }

// Every page is its own exactly-sized allocation, and so is the row, so the sanitizer build
// catches any access outside them.
class RendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto& p : pattern_) p.assign(kPpuPageSize, 0);
    for (auto& p : names_) p.assign(kPpuPageSize, 0);
    palette_.assign(32, 0);
    for (int i = 0; i < 8; ++i) ppu_pages.pattern_page[i] = pattern_[i].data();
    for (int i = 0; i < 4; ++i) ppu_pages.render_nametable[i] = names_[i].data();
    ppu_pages.palette_page = palette_.data();
    ppu = {};
    ppu.background_enable = 0x08;
    ppu.sprite_enable = 0x10;
    ppu.sprite_height_mask = 7;
    for (int i = 0; i < 64; ++i) ppu.oam[4 * i] = 0xFF;  // all sprites off screen
    mapper_state.mapper_ppu_latch_hook = nullptr;
    latched.clear();
  }
  void TearDown() override {
    ppu_pages = {};
    mapper_state.mapper_ppu_latch_hook = nullptr;
  }

  uint8_t& pattern(uint32_t address) { return pattern_[address >> 10][address & 0x3FF]; }
  // Clears all eight rows of a tile in both planes.
  void clear_tile(uint32_t base, uint32_t tile) {
    for (uint32_t r = 0; r < 16; ++r) pattern(base + tile * 16 + r) = 0;
  }
  std::vector<uint8_t> draw(uint16_t line) {
    std::vector<uint8_t> row(kFrameRowBytes, 0xEE);
    ppu_render_background(line, row.data());
    if (ppu.sprite_enable) ppu_render_sprites(line, row.data());
    return row;
  }

  std::array<std::vector<uint8_t>, 8> pattern_;
  std::array<std::vector<uint8_t>, 4> names_;
  std::vector<uint8_t> palette_;
};

// Pixel k (0 = leftmost) of a tile row.
uint32_t pixel(uint8_t low, uint8_t high, uint32_t k) {
  return ((high >> (7 - k)) & 1) * 2 + ((low >> (7 - k)) & 1);
}

// A per-dot model of the background, checked against whole rows for random name tables,
// attributes, patterns and palette RAM under different scrolls. The latch hook sees both planes
// of each of the 33 tiles in order, and nothing without the background.
TEST_F(RendererTest, BackgroundMatchesAPerDotModel) {
  std::mt19937 rng(2024);
  for (auto& p : pattern_)
    for (auto& b : p) b = static_cast<uint8_t>(rng());
  for (auto& p : names_)
    for (auto& b : p) b = static_cast<uint8_t>(rng());
  for (auto& b : palette_) b = static_cast<uint8_t>(rng() & 0x3F);
  for (int t = 0; t < 256; t += 5) clear_tile(0, t);  // some transparent tiles
  for (int t = 0; t < 256; t += 5) clear_tile(0x1000, t);
  mapper_state.mapper_ppu_latch_hook = record_latch;

  const struct {
    uint16_t line;
    uint8_t scroll_y, coarse_x, fine_x, ctrl;
  } cases[] = {
      {0, 0, 0, 0, 0x00},     {0, 0, 0, 5, 0x00},     {17, 0, 31, 3, 0x01}, {230, 16, 4, 0, 0x00},
      {100, 200, 0, 7, 0x03}, {239, 255, 9, 1, 0x02}, {45, 0, 13, 7, 0x10}, {128, 64, 30, 4, 0x11},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "line " << c.line << " scroll_y " << int{c.scroll_y} << " coarse_x "
                 << int{c.coarse_x} << " fine_x " << int{c.fine_x} << " ctrl " << int{c.ctrl});
    ppu.scroll_y = c.scroll_y, ppu.coarse_x = c.coarse_x, ppu.fine_x = c.fine_x, ppu.ctrl = c.ctrl;
    ppu.sprite_enable = 0;

    uint32_t y = c.scroll_y + c.line, n = c.ctrl & 3;
    if (y >= 240) {
      y -= 240;
      n ^= 2;
    }
    const uint32_t base = (c.ctrl & 0x10) ? 0x1000 : 0;
    // The pattern address of the tile row at scrolled x, and the tile's palette group.
    auto address_at = [&](uint32_t sx) {
      return base + names_[n ^ ((sx >> 8) & 1)][(y >> 3) * 32 + ((sx >> 3) & 31)] * 16 + (y & 7);
    };
    auto group_at = [&](uint32_t sx) {
      const uint8_t* names = names_[n ^ ((sx >> 8) & 1)].data();
      const uint32_t column = (sx >> 3) & 31;
      const uint32_t quadrant = ((y >> 4) & 1) * 2 + ((column >> 1) & 1);
      return ((names[0x3C0 + (y >> 5) * 8 + column / 4] >> (2 * quadrant)) & 3) * 4;
    };
    const uint32_t left = c.coarse_x * 8u;
    const uint8_t backdrop = palette_[group_at(left)];
    latched.clear();
    const auto row = draw(c.line);
    for (uint32_t x = 0; x < kFrameRowBytes; ++x) {
      uint8_t expected = backdrop;
      const uint32_t sx = left + c.fine_x + x;
      if (x + c.fine_x < 264) {  // 33 tiles, the first one cut by fine_x
        const uint32_t address = address_at(sx);
        const uint32_t v = pixel(pattern(address), pattern(address + 8), sx & 7);
        if (v) expected = palette_[group_at(sx) + v] | 0x80;
      }
      ASSERT_EQ(row[x], expected) << "x " << x;
    }
    std::vector<uint16_t> fetches;
    for (uint32_t k = 0; k < 33; ++k) {
      for (uint32_t plane : {0, 8}) fetches.push_back(uint16_t(address_at(left + 8 * k) | plane));
    }
    EXPECT_EQ(latched, fetches);
  }
  ppu.background_enable = 0;
  latched.clear();
  draw(0);
  EXPECT_TRUE(latched.empty());
}

// The hook may switch pattern banks; the line being drawn keeps the pages it started with.
TEST_F(RendererTest, BankSwitchByTheLatchHookShowsFromTheNextLine) {
  static std::vector<uint8_t> other(kPpuPageSize, 0);
  other[0] = 0xFF;  // tile 0, row 0: all pixels 1
  mapper_state.mapper_ppu_latch_hook = [](uint16_t*) { ppu_pages.pattern_page[0] = other.data(); };
  palette_[1] = 0x21;
  EXPECT_EQ(draw(0)[100], 0x00);
  EXPECT_EQ(draw(0)[100], 0xA1);
}

// Random sprites over a random background, or none, against a per-pixel model. An entry covers
// the lines Y + 1 ... Y + height + 1 at X ... X + 7, flipped as its attributes say, in its
// palette group; a tall sprite takes its pattern half from tile bit 0. Entries are drawn from 63
// down: a front pixel keeps the opaque mark of what lies under it, a behind pixel shows only
// where nothing marked lies, so a lower entry behind still covers a higher one in front. When
// sprite 0's row is not transparent, its hit is set by a colour with low bits under it after
// drawing, or on its second-to-last line whatever lies under it.
TEST_F(RendererTest, SpritesAndTheirHitMatchAPerPixelModel) {
  std::mt19937 rng(64);
  for (auto& p : pattern_)
    for (auto& b : p) b = static_cast<uint8_t>(rng());
  for (auto& b : names_[0]) b = static_cast<uint8_t>(rng());
  for (int t = 0; t < 256; t += 3) clear_tile(0, t);  // transparent tiles for both layers
  for (int t = 0; t < 256; t += 4) clear_tile(0x1000, t);
  // Background on or off, either 8x8 pattern half, 8x8 or 8x16, colours with or without low bits.
  for (int config = 0; config < 16; ++config) {
    const int height = config & 4 ? 15 : 7;
    ppu.background_enable = config & 1 ? 0 : 0x08, ppu.ctrl = config & 2 ? 0x08 : 0;
    ppu.sprite_height_mask = uint8_t(height);
    for (auto& b : palette_) b = static_cast<uint8_t>(rng() & (config & 8 ? 0x3C : 0x3F));
    for (uint16_t line = 0; line < 240; ++line) {
      SCOPED_TRACE(testing::Message() << "config " << config << " line " << line);
      for (auto& b : ppu.oam) b = static_cast<uint8_t>(rng());
      for (int i = 0; i < 64; ++i) ppu.oam[4 * i] = static_cast<uint8_t>(line - 1 - rng() % 20);
      ppu.sprite_enable = 0;
      std::vector<uint8_t> expected = draw(line);
      ASSERT_EQ(expected == std::vector<uint8_t>(kFrameRowBytes, 0x3F), !ppu.background_enable);
      bool zero_drawn = false;
      for (int i = 63; i >= 0; --i) {
        const uint8_t* e = &ppu.oam[4 * i];
        const int r0 = line - e[0] - 1, r = e[2] & 0x80 ? height - r0 : r0;
        if (r0 < 0 || r0 > height) continue;
        const uint32_t address = height == 15
                                     ? (e[1] & 1) * 0x1000 + ((e[1] & 0xFE) + r / 8) * 16 + r % 8
                                     : (ppu.ctrl & 0x08) * 0x200 + e[1] * 16 + r;
        for (uint32_t k = 0; k < 8; ++k) {
          const uint32_t v = pixel(pattern(address), pattern(address + 8), e[2] & 0x40 ? 7 - k : k);
          uint8_t& out = expected[e[3] + k];
          const bool behind = e[2] & 0x20;
          zero_drawn = zero_drawn || (i == 0 && v != 0);
          if (v == 0 || (behind && (out & 0x80))) continue;
          out = palette_[16 + (e[2] & 3) * 4 + v] | (behind ? 0 : out & 0x80);
        }
      }
      uint8_t under = 0;
      for (int k = 0; k < 8; ++k) under |= expected[ppu.oam[3] + k];
      const bool hit = zero_drawn && ((under & 3) || line == ppu.oam[0] + height);
      ppu.sprite_enable = 0x10, ppu.status = 0x80;
      ASSERT_EQ(draw(line), expected);
      ASSERT_EQ(ppu.status, hit ? 0xC0 : 0x80);
    }
  }
}

}  // namespace
