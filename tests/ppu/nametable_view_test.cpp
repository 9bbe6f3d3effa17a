#include "ppu/nametable_view.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "cart/mapper.h"
#include "machine/emulation.h"
#include "support/machine_fixture.h"

namespace {

// A powered-on machine with pattern RAM, written through the PPU's registers. The colours are
// the identity, so a pixel reads back as its palette RAM byte.
class NametableView : public MachineFixture {
 protected:
  void power_on_mirrored(bool vertical) {
    power_on(InesBuilder(1, 0, vertical ? 0x01 : 0x00));
    ppu.scanline = 250;
    ppu.address_increment = 1;
    for (uint32_t i = 0; i < kNametableViewColours; ++i) identity_[i] = i;
  }
  void write_vram(uint16_t address, const std::vector<uint8_t>& bytes) {
    ppu_write_register(0x2006, address >> 8, nullptr);
    ppu_write_register(0x2006, address & 0xFF, nullptr);
    for (uint8_t b : bytes) ppu_write_register(0x2007, b, nullptr);
  }
  std::vector<uint32_t> picture() {
    std::vector<uint32_t> pixels(kNametableViewWidth * kNametableViewHeight, 0xDEAD);
    nametable_view_render(pixels.data(), identity_);
    return pixels;
  }

  uint32_t identity_[kNametableViewColours];
};

// Random patterns, tables, attributes and palette RAM against a per-pixel model, in both
// pattern halves and both mirrorings; the name-table bits of ctrl play no part. A transparent
// pixel shows colour 0 of its group.
TEST_F(NametableView, MatchesAPerPixelModel) {
  for (const bool vertical : {true, false}) {
    power_on_mirrored(vertical);
    std::mt19937 rng(7);
    std::vector<uint8_t> bytes(0x3000);
    for (auto& b : bytes) b = uint8_t(rng());
    write_vram(0x0000, bytes);
    for (uint16_t a = 0x3F01; a < 0x3F20; ++a) write_vram(a, {uint8_t(rng() & 0x3F)});
    for (const uint8_t ctrl : {0x00, 0x10, 0x13}) {
      ppu.ctrl = ctrl;
      const auto p = picture();
      for (uint32_t y = 0; y < kNametableViewHeight; ++y) {
        for (uint32_t x = 0; x < kNametableViewWidth; ++x) {
          const uint8_t* names = ppu_pages.render_nametable[(y / 240) * 2 + x / 256];
          const uint32_t u = x % 256, v = y % 240, row = v / 8, column = u / 8;
          const uint8_t* tile =
              vram + (ctrl & 0x10) * 0x100 + names[row * 32 + column] * 16 + v % 8;
          const uint32_t value =
              ((tile[0] >> (7 - u % 8)) & 1) | ((tile[8] >> (7 - u % 8)) & 1) * 2;
          const uint8_t attribute = names[0x3C0 + row / 4 * 8 + column / 4];
          const uint32_t group = (attribute >> ((row / 2 % 2) * 4 + (column / 2 % 2) * 2)) & 3;
          ASSERT_EQ(p[y * kNametableViewWidth + x], ppu_pages.palette_page[group * 4 + value])
              << "vertical " << vertical << " ctrl " << int{ctrl} << " x " << x << " y " << y;
        }
      }
    }
    machine_power_off();
  }
}

// The viewer's entry point reads the machine only while a game runs.
TEST_F(NametableView, TheViewerDrawsOnlyWhileAGameRuns) {
  power_on_mirrored(true);
  write_vram(0x3F00, {0x21});
  std::vector<uint32_t> pixels(kNametableViewWidth * kNametableViewHeight, 0xDEAD);
  nametable_viewer_draw(pixels.data(), identity_);
  EXPECT_EQ(pixels[0], 0xDEADu);
  emu_stop = 0;
  nametable_viewer_draw(pixels.data(), identity_);
  emu_stop = 1;
  EXPECT_EQ(pixels[0], 0x21u);
}

}  // namespace
