#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "cart/mapper.h"
#include "machine/machine.h"
#include "ppu/ppu.h"

namespace {

class PpuRegisters : public ::testing::Test {
 protected:
  void SetUp() override {
    ppu = {};
    joypad[0] = joypad[1] = {};
    ctx_.memory = flat_.data();
    shadow_context = &ctx_;
    vram = vram_.data();
    for (int i = 0; i < 8; ++i) ppu_pages.pattern_page[i] = vram + i * 0x400;
    mapper_mirror_vertical();
    for (int i = 0; i < 4; ++i) ppu_pages.high_page[i] = vram + 0x3000 + i * 0x400;
    ppu_pages.palette_page = vram + 0x3F00;
    mapper_state.mapper_ppu_latch_hook = nullptr;
    ppu.dummy_read_pending = 1;
    ppu.address_increment = 1;
    ppu.scanline = 250;
  }
  void TearDown() override {
    shadow_context = nullptr;
    vram = nullptr;
    mapper_state.mapper_ppu_latch_hook = nullptr;
  }

  uint8_t rd(uint32_t a) { return uint8_t(ppu_read_register(a, nullptr)); }
  void wr(uint32_t a, uint32_t v) { ppu_write_register(a, v, nullptr); }
  void set_address(uint16_t a) {
    wr(0x2006, a >> 8);
    wr(0x2006, a & 0xFF);
  }

  CpuContext ctx_{};
  std::vector<uint8_t> flat_ = std::vector<uint8_t>(0x10000);
  std::vector<uint8_t> vram_ = std::vector<uint8_t>(0x4000);
};

TEST_F(PpuRegisters, DataReadHasADummyReadAndNoBuffer) {
  vram_[0x2105] = 0x11;
  vram_[0x2106] = 0x22;
  set_address(0x2105);
  EXPECT_EQ(rd(0x2007), 0xFF);
  EXPECT_EQ(ppu.vram_address, 0x2105);
  EXPECT_EQ(rd(0x2007), 0x11);
  EXPECT_EQ(rd(0x2007), 0x22);
  EXPECT_EQ(ppu.vram_address, 0x2107);
  // A data write clears a pending dummy read.
  set_address(0x2000);
  wr(0x2007, 0x33);
  EXPECT_EQ(rd(0x2007), vram_[0x2001]);
}

TEST_F(PpuRegisters, PaletteBackdropSlots) {
  set_address(0x3F10);
  wr(0x2007, 0x2C);
  for (int slot = 0; slot < 32; slot += 4) EXPECT_EQ(vram_[0x3F00 + slot], 0x2C) << slot;
  set_address(0x3F04);
  wr(0x2007, 0x05);
  EXPECT_EQ(vram_[0x3F04], 0x2C);
  set_address(0x3F05);
  wr(0x2007, 0x06);
  EXPECT_EQ(vram_[0x3F05], 0x06);
  set_address(0x3F04);
  rd(0x2007);
  EXPECT_EQ(rd(0x2007), 0x2C);
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
  // The first $2006 write keeps all eight bits.
  wr(0x2006, 0xFF);
  EXPECT_EQ(ppu.vram_address >> 8, 0xFF);
}

TEST_F(PpuRegisters, WritesReachChrRomPagesToo) {
  std::vector<uint8_t> chr(0x400, 0);
  ppu_pages.pattern_page[1] = chr.data();
  set_address(0x0402);
  wr(0x2007, 0x7E);
  EXPECT_EQ(chr[2], 0x7E);
}

TEST_F(PpuRegisters, CtrlBit1IsFrozenDuringVisibleLines) {
  ppu.ctrl = 0x00;
  ppu.scanline = 100;
  wr(0x2000, 0xA7);
  EXPECT_EQ(ppu.ctrl, 0xA5);
  EXPECT_EQ(ppu.nmi_enable, 0x80);
  EXPECT_EQ(ppu.sprite_height_mask, 15);
  EXPECT_EQ(ppu.address_increment, 32);
  ppu.scanline = 240;
  wr(0x2000, 0x02);
  EXPECT_EQ(ppu.ctrl, 0x02);
  EXPECT_EQ(ppu.nmi_enable, 0);
  EXPECT_EQ(ppu.sprite_height_mask, 7);
  EXPECT_EQ(ppu.address_increment, 1);
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
  // $2002 clears the toggle and vertical blank, not the sprite-0 hit.
  wr(0x2005, 0x08);
  ppu.status = 0xC0;
  EXPECT_EQ(rd(0x2002), 0xC0);
  EXPECT_EQ(ppu.status, 0x40);
  EXPECT_EQ(ppu.write_toggle, 0);
  wr(0x2006, 0x21);  // a first write again
  EXPECT_EQ(ppu.write_toggle, 1);
  EXPECT_EQ(ppu.coarse_x, 1);  // $2006 leaves scrolling alone
}

TEST_F(PpuRegisters, SpriteMemoryAndDma) {
  wr(0x2003, 0x10);
  wr(0x2004, 1);
  wr(0x2004, 2);
  EXPECT_EQ(ppu.oam[0x10], 2);
  EXPECT_EQ(ppu.oam[0x11], 0);
  for (int i = 0; i < 256; ++i) flat_[0x0700 + i] = uint8_t(i ^ 0x5A);
  wr(0x4014, 0x07);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(ppu.oam[i], uint8_t(i ^ 0x5A));
  EXPECT_EQ(ppu.oam_address, 0x10);
}

TEST_F(PpuRegisters, JoypadStreamsOf24Bits) {
  joypad[0].stream = 0x800005;
  joypad[1].stream = 0x000002;
  wr(0x4016, 0);
  std::vector<uint8_t> bits;
  for (int i = 0; i < 25; ++i) bits.push_back(rd(0x4016));
  EXPECT_EQ(bits[0], 0x41);
  EXPECT_EQ(bits[1], 0x40);
  EXPECT_EQ(bits[2], 0x41);
  EXPECT_EQ(bits[23], 0x41);
  EXPECT_EQ(bits[24], 0x41);  // the 25th read starts over
  EXPECT_EQ(rd(0x4017), 0x40);
  EXPECT_EQ(rd(0x4017), 0x41);
  wr(0x4016, 1);  // bit 0 set: no restart
  EXPECT_EQ(joypad[0].bit_index, 1);  // 25 reads: one past the wrap
  wr(0x4016, 0);
  EXPECT_EQ(joypad[0].bit_index, 0);
  EXPECT_EQ(joypad[1].bit_index, 0);
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
