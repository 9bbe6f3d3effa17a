#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ppu/ppu.h"
#include "support/mapper_fixture.h"

namespace {

// The register file over the fixture's VRAM (pattern RAM, vertical mirroring) and flat memory.
class PpuRegisters : public MapperFixture {
 protected:
  void SetUp() override {
    MapperFixture::SetUp();
    ppu = {};
    shadow_.memory = flat_.data();
    for (int i = 0; i < 8; ++i) ppu_pages.pattern_page[i] = vram + i * 0x400;
    mapper_mirror_vertical();
    mapper_state.mapper_ppu_latch_hook = nullptr;
    ppu.dummy_read_pending = 1;
    ppu.address_increment = 1;
    ppu.scanline = 250;
  }
  void TearDown() override {
    mapper_state.mapper_ppu_latch_hook = nullptr;
    MapperFixture::TearDown();
  }

  uint8_t rd(uint32_t a) { return uint8_t(ppu_read_register(a, nullptr)); }
  void wr(uint32_t a, uint32_t v) { ppu_write_register(a, v, nullptr); }
  void set_address(uint16_t a) {
    wr(0x2006, a >> 8);
    wr(0x2006, a & 0xFF);
  }
};

TEST_F(PpuRegisters, DataReadHasADummyReadAndNoBuffer) {
  vram_[0x2105] = 0x11, vram_[0x2106] = 0x22;
  set_address(0x2105);
  EXPECT_EQ(rd(0x2007), 0xFF);  // the dummy read does not advance
  EXPECT_EQ(rd(0x2007), 0x11);
  EXPECT_EQ(rd(0x2007), 0x22);
  set_address(0x2000);
  wr(0x2007, 0x33);  // a data write clears a pending dummy read
  EXPECT_EQ(rd(0x2007), vram_[0x2001]);
}

TEST_F(PpuRegisters, AddressMaskingAndIncrement) {
  wr(0x2000, 0x04);  // increment 32
  set_address(0x3FF0);
  rd(0x2007);
  rd(0x2007);
  EXPECT_EQ(ppu.vram_address, 0x4010);
  vram_[0x0010] = 0x9C;
  EXPECT_EQ(rd(0x2007), 0x9C);  // uses $0010
  EXPECT_EQ(ppu.vram_address, 0x0030);
  // Data writes reach CHR ROM pages too.
  std::vector<uint8_t> chr(0x400, 0);
  ppu_pages.pattern_page[1] = chr.data();
  set_address(0x0402);
  wr(0x2007, 0x7E);
  EXPECT_EQ(chr[2], 0x7E);
  // The first $2006 write keeps all eight bits.
  wr(0x2006, 0xFF);
  EXPECT_EQ(ppu.vram_address >> 8, 0xFF);
}

TEST_F(PpuRegisters, CtrlBit1IsFrozenDuringVisibleLines) {
  ppu.ctrl = 0x00;
  ppu.scanline = 100;
  wr(0x2000, 0xA7);
  EXPECT_EQ(
      std::vector<int>({ppu.ctrl, ppu.nmi_enable, ppu.sprite_height_mask, ppu.address_increment}),
      std::vector<int>({0xA5, 0x80, 15, 32}));
  ppu.scanline = 240;
  wr(0x2000, 0x02);
  EXPECT_EQ(
      std::vector<int>({ppu.ctrl, ppu.nmi_enable, ppu.sprite_height_mask, ppu.address_increment}),
      std::vector<int>({0x02, 0, 7, 1}));
}

TEST_F(PpuRegisters, ScrollWritesAndTheSharedToggle) {
  struct Case {
    uint16_t scanline;
    uint8_t y;
    uint8_t expected_scroll_y;
  };
  const Case cases[] = {{250, 250, 246}, {250, 240, 240}, {250, 241, 255}, {120, 17, 99}};
  for (const Case& c : cases) {
    ppu.scroll_y = 99;
    ppu.scanline = c.scanline;
    wr(0x2005, 0x2D);
    EXPECT_EQ(ppu.coarse_x, 5);
    EXPECT_EQ(ppu.fine_x, 5);
    wr(0x2005, c.y);
    EXPECT_EQ(ppu.scroll_y, c.expected_scroll_y);
    EXPECT_EQ(ppu.write_toggle, 0);
  }
  // $2002 clears the toggle and vertical blank, not the sprite-0 hit; $2006 leaves scrolling
  // alone.
  wr(0x2005, 0x08);
  ppu.status = 0xC0;
  EXPECT_EQ(rd(0x2002), 0xC0);
  EXPECT_EQ(ppu.status, 0x40);
  wr(0x2006, 0x21);  // a first write again
  EXPECT_EQ(ppu.write_toggle, 1);
  EXPECT_EQ(ppu.coarse_x, 1);
}

TEST_F(PpuRegisters, UndecodedAddressesReadFlatMemoryAndIgnoreWrites) {
  flat_[0x2000] = 0x12;
  flat_[0x4009] = 0x34;
  EXPECT_EQ(rd(0x2000), 0x12);
  EXPECT_EQ(rd(0x4009), 0x34);
  const PpuState before = ppu;
  wr(0x2008, 0xFF);
  wr(0x2002, 0xFF);
  wr(0x4017, 0xFF);
  EXPECT_EQ(0, std::memcmp(&before, &ppu, sizeof ppu));
}

TEST_F(PpuRegisters, LatchHookSeesEveryDataAccess) {
  static std::vector<uint16_t> seen;
  seen.clear();
  mapper_state.mapper_ppu_latch_hook = [](uint16_t* a) { seen.push_back(*a); };
  set_address(0x4FD0);  // masked to $0FD0 before the hook
  wr(0x2007, 1);
  rd(0x2007);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], 0x0FD0);
  EXPECT_EQ(seen[1], 0x0FD1);
}

}  // namespace
