#include "ppu/ppu_dot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

#include "machine/frame.h"
#include "machine/machine.h"
#include "ppu/ppu.h"
#include "ppu/renderer.h"

namespace {

int a12_rises = 0;

// Pattern RAM and vertically mirrored name tables in VRAM, the palette at $3F00.
class PpuDotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vram = vram_.data();
    frame_buffer = frame_.data();
    ppu_pages = {};
    for (int i = 0; i < 8; ++i) ppu_pages.pattern_page[i] = vram + i * 0x400;
    for (int i = 0; i < 4; ++i)
      ppu_pages.nametable_page[i] = ppu_pages.render_nametable[i] = vram + 0x2000 + (i & 1) * 0x400;
    ppu_pages.palette_page = vram + 0x3F00;
    mapper_state.mapper_ppu_latch_hook = nullptr;
    ppu = {};
    ppu_dot_power();
    for (int i = 0; i < 256; ++i) ppu.oam[i] = 0xF0;
  }
  void TearDown() override {
    ppu_pages = {};
    ppu_dot_a12_rise = nullptr;
    vram = frame_buffer = nullptr;
  }
  // Runs until (line, dot) is the next dot.
  void run_to(int line, int dot) {
    while (ppu_dot.line != line || ppu_dot.dot != dot) ppu_dot_run(1);
  }
  void set_address(uint16_t a) {
    ppu_dot_write(0x2006, uint8_t(a >> 8));
    ppu_dot_write(0x2006, uint8_t(a));
  }
  std::vector<uint8_t> vram_ = std::vector<uint8_t>(kVramSize);
  std::vector<uint8_t> frame_ = std::vector<uint8_t>(kFrameBufferSize);
};

// The flag is set as dot (241, 1) runs and cleared with sprite-0 hit and overflow at (261, 1).
// A read just before the set finds it clear and cancels it; a read just after sees and clears it.
TEST_F(PpuDotTest, VblankFlagAndReadRace) {
  // read_dot -1: no read
  for (const auto& [read_dot, read_bit7, flag_after] :
       {std::tuple{0, 0, 0x80}, {1, 0, 0}, {2, 0x80, 0}, {3, 0x80, 0}, {-1, 0, 0x80}}) {
    SCOPED_TRACE(read_dot);
    ppu_dot_power();
    run_to(241, read_dot < 0 ? 1 : read_dot);
    EXPECT_EQ(read_dot < 0 ? 0 : ppu_dot_read(0x2002) & 0x80, read_bit7);
    run_to(241, 10);
    EXPECT_EQ(ppu.status & 0x80, flag_after);
  }
  ppu_dot_write(0x2000, 0x80);
  EXPECT_TRUE(ppu_dot_nmi_line());
  ppu.status |= 0x60;
  run_to(261, 1);
  EXPECT_EQ(ppu.status, 0xE0);
  ppu_dot_run(1);
  EXPECT_EQ(ppu.status, 0);
  EXPECT_FALSE(ppu_dot_nmi_line());
}

// With rendering on, every other frame is one dot short; with it off all are 341 × 262.
TEST_F(PpuDotTest, OddFrameSkipsADotOnlyWhileRendering) {
  for (uint8_t mask : {0x00, 0x08, 0x10}) {
    ppu_dot_power();
    ppu_dot_write(0x2001, mask);
    std::vector<uint64_t> lengths;
    for (int f = 0; f < 4; ++f) {
      const uint64_t start = ppu_dot.clock;
      ppu_dot_run(1);
      run_to(0, 0);
      lengths.push_back(ppu_dot.clock - start);
    }
    const uint64_t odd = mask ? 89341 : 89342;
    EXPECT_EQ(lengths, (std::vector<uint64_t>{89342, odd, 89342, odd})) << int(mask);
  }
}

// Loopy's worked example: $2000, $2002, $2005 twice, $2006 twice.
TEST_F(PpuDotTest, ScrollRegistersFollowTheWrites) {
  const struct {
    int address, value, t, v, x, w;
  } steps[] = {{0x2000, 0x03, 0x0C00, 0, 0, 0}, {0x2002, 0, 0x0C00, 0, 0, 0},
               {0x200D, 0x7D, 0x0C0F, 0, 5, 1}, {0x2005, 0x5E, 0x6D6F, 0, 5, 0},
               {0x3FFE, 0x3D, 0x3D6F, 0, 5, 1}, {0x2006, 0xF0, 0x3DF0, 0x3DF0, 5, 0}};
  for (const auto& s : steps) {
    s.address == 0x2002 ? void(ppu_dot_read(uint16_t(s.address)))
                        : ppu_dot_write(uint16_t(s.address), uint8_t(s.value));
    const std::tuple<int, int, int, int> got(ppu_dot.t, ppu_dot.v, ppu_dot.fine_x, ppu_dot.w);
    EXPECT_EQ(got, std::tuple(s.t, s.v, s.x, s.w)) << std::hex << s.address;
  }
}

TEST_F(PpuDotTest, PaletteMirrorsAndDataReads) {
  for (const auto& [address, index] :
       {std::pair{0x3F3F, 0x1F}, {0x3F2F, 0x0F}, {0x3F10, 0x00}, {0x3F14, 0x04}, {0x3F1C, 0x0C}}) {
    vram_[0x3F00 + index] = 0;
    set_address(uint16_t(address));
    ppu_dot_write(0x2007, 0x2A);
    EXPECT_EQ(vram_[0x3F00 + index], 0x2A) << std::hex << address;
  }
  // Name-table reads come through the buffer; $3000 mirrors $2000.
  vram_[0x2400] = 0x11;
  vram_[0x2401] = 0x22;
  set_address(0x3400);
  ppu_dot_read(0x2007);
  EXPECT_EQ(ppu_dot_read(0x2007), 0x11);
  EXPECT_EQ(ppu_dot_read(0x2007), 0x22);
  // A palette read is direct, with latch bits 7-6, and buffers the name table underneath.
  vram_[0x3F01] = 0x2A;
  vram_[0x2701] = 0x5C;  // $2F01 in the fourth (mirrored) name table
  set_address(0x3F01);
  ppu_dot_write(0x2003, 0xC0);
  EXPECT_EQ(ppu_dot_read(0x2007), 0xEA);
  EXPECT_EQ(ppu_dot.read_buffer, 0x5C);
  // $2002 shows the latch in bits 4-0; the write-only registers show all of it until it decays.
  ppu.status = 0x80;
  ppu_dot_write(0x2000, 0x1B);
  EXPECT_EQ(ppu_dot_read(0x2002), 0x9B);
  EXPECT_EQ(ppu_dot_read(0x3FF9), 0x9B);
  ppu_dot_run(35 * 89342);
  EXPECT_EQ(ppu_dot_read(0x2005), 0x9B);
  ppu_dot_run(89342);
  EXPECT_EQ(ppu_dot_read(0x2005), 0x00);
  // $2004 reads drop bits 2-4 of the attribute byte.
  ppu.oam[2] = 0xFF;
  ppu_dot_write(0x2003, 2);
  EXPECT_EQ(ppu_dot_read(0x2004), 0xE3);
}

// Opaque background everywhere, sprite 0 opaque at (x, line 31): the hit is set on the dot that
// draws the first pixel where both show, never at x = 255 or in a clipped column.
TEST_F(PpuDotTest, SpriteZeroHitDot) {
  for (int r = 0; r < 8; ++r) vram_[0x10 + r] = 0xFF;  // tile 1: colour 1 throughout
  for (int i = 0; i < 0x3C0; ++i) vram_[0x2000 + i] = vram_[0x2400 + i] = 1;
  // Sprite 0's x, the mask, and the x of the hit (-1: no hit).
  const std::tuple<int, int, int> cases[] = {{20, 0x1E, 20}, {255, 0x1E, -1}, {0, 0x1E, 0},
                                             {0, 0x18, -1},  {4, 0x1A, 8},    {4, 0x1C, 8},
                                             {4, 0x0E, -1}};
  for (const auto& [x, mask, hit_x] : cases) {
    SCOPED_TRACE(x);
    ppu_dot_power();
    ppu.oam[0] = 30;
    ppu.oam[1] = 1;
    ppu.oam[2] = 0x20;  // behind the background: still a hit
    ppu.oam[3] = uint8_t(x);
    ppu_dot_write(0x2001, uint8_t(mask));
    run_to(30, 0);
    ppu.status = 0;
    run_to(31, hit_x < 0 ? 1 : hit_x + 1);
    EXPECT_EQ(ppu.status & 0x40, 0);
    run_to(32, 0);
    EXPECT_EQ(ppu.status & 0x40, hit_x < 0 ? 0 : 0x40);
  }
}

// Nine sprites on a line set the flag; eight do not; past the eighth the search reads the
// byte index that steps with each entry, giving the false positive and negative.
TEST_F(PpuDotTest, SpriteOverflowWithTheSearchBug) {
  // Entries 0-7 at Y = 50 (on line 51), and these bytes of entries 8 and 9.
  const std::tuple<int, int, int, int> cases[] = {
      {50, 0xF0, 0xF0, 0x20}, {0xF0, 0xF0, 0xF0, 0}, {0xF0, 0xF0, 50, 0x20}, {0xF0, 50, 0xF0, 0}};
  for (const auto& [y8, y9, tile9, overflow] : cases) {
    ppu_dot_power();
    for (int i = 0; i < 256; ++i) ppu.oam[i] = i < 32 && i % 4 == 0 ? 50 : 0xF0;
    ppu.oam[32] = uint8_t(y8);
    ppu.oam[36] = uint8_t(y9);
    ppu.oam[37] = uint8_t(tile9);
    ppu_dot_write(0x2001, 0x18);
    run_to(52, 0);
    EXPECT_EQ(ppu.status & 0x20, overflow) << y8 << " " << tile9;
  }
}

// Random name tables, attributes, patterns and twelve sprites (never two on a line, so the line
// renderer's priority rules agree), scrolled, in 8x8 and 8x16, run a dot, a CPU cycle or a whole
// frame at a time: every line drawn matches the line renderer's; the NTSC border is blanked when
// the picture ends.
TEST_F(PpuDotTest, LinesMatchTheLineRenderer) {
  std::mt19937 rng(11);
  for (int i = 0; i < 0x2800; ++i) vram_[i] = uint8_t(rng());
  for (int i = 0; i < 32; ++i) vram_[0x3F00 + i] = uint8_t(rng() & 0x3F);
  for (int i = 4; i < 16; i += 4) vram_[0x3F00 + i] = vram_[0x3F00];
  for (int i = 0; i < 48; ++i) ppu.oam[i] = uint8_t(i % 4 == 0 ? 17 * (i / 4) : rng());
  for (int i = 2; i < 48; i += 4) ppu.oam[i] &= 0xE3;
  const struct {
    uint32_t scroll_x, ctrl, step;
  } cases[] = {{0, 0x11, 1}, {13, 0x31, 3}, {250, 0x19, 89342}, {3, 0x39, 89342}};
  for (const auto& c : cases) {
    ppu_dot_power();
    ppu_dot_write(0x2000, uint8_t(c.ctrl));
    ppu_dot_write(0x2005, uint8_t(c.scroll_x));
    ppu_dot_write(0x2005, 37);
    ppu_dot_write(0x2001, 0x1E);
    run_to(261, 0);  // the second frame starts from the pre-render line
    ppu_dot.frame_ready = false;
    for (uint32_t left = 241 * 341 + 1, n = 0; left > 0; left -= n)
      ppu_dot_run(n = std::min(left, c.step));
    ASSERT_EQ(ppu_dot.line * 341 + ppu_dot.dot, 240 * 341 + 1);
    EXPECT_TRUE(ppu_dot.frame_ready);
    ppu.background_enable = 0x08;
    ppu.sprite_height_mask = (c.ctrl & 0x20) ? 15 : 7;
    ppu.coarse_x = c.scroll_x >> 3;
    ppu.fine_x = c.scroll_x & 7;
    ppu.scroll_y = 37;
    std::vector<uint8_t> row(kFrameRowBytes);
    for (uint16_t line = 8; line < 233; ++line) {
      ppu_render_background(line, row.data());
      ppu_render_sprites(line, row.data());
      const uint8_t* drawn = frame_.data() + line * kFrameRowBytes;
      for (auto& b : row) b &= 0x3F;  // the line renderer marks opaque pixels in bit 7
      ASSERT_EQ(std::vector<uint8_t>(drawn, drawn + 256),
                std::vector<uint8_t>(row.begin(), row.begin() + 256))
          << "line " << line << " ctrl " << c.ctrl;
    }
    EXPECT_EQ(frame_[0], kBlankFill);
    EXPECT_EQ(frame_[239 * kFrameRowBytes + 255], kBlankFill);
  }
}

// One filtered A12 rise a rendered line (240 visible and the pre-render line), whichever half
// holds the sprites, with 8x16 dummy fetches of tile $FF, and none with rendering off. With the
// background at $1000 the pre-render line's first pattern fetch after vertical blank adds one.
TEST_F(PpuDotTest, A12RisesOncePerLine) {
  ppu_dot_a12_rise = [] { ++a12_rises; };
  for (const auto& [ctrl, mask, rises] :
       {std::tuple{0x08, 0x18, 241}, {0x10, 0x18, 242}, {0x20, 0x18, 241}, {0x08, 0x00, 0}}) {
    ppu_dot_power();
    ppu_dot_write(0x2000, uint8_t(ctrl));
    ppu_dot_write(0x2001, uint8_t(mask));
    run_to(1, 0);
    a12_rises = 0;
    ppu_dot_run(89342);
    EXPECT_EQ(a12_rises, rises) << std::hex << ctrl;
  }
}

}  // namespace
