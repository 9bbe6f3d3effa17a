#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <tuple>
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

// The dummy read, the missing read buffer, increment 32, the shared toggle and the undecoded
// mirrors are the register cartridge's checks; these are the rules it does not reach.
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
  for (auto [line, value, fields] : {std::tuple{100, 0xA7, std::array{0xA5, 0x80, 15, 32}},
                                     {240, 0x02, std::array{0x02, 0, 7, 1}}}) {
    ppu.scanline = uint16_t(line);
    wr(0x2000, value);
    const std::array<int, 4> now = {ppu.ctrl, ppu.nmi_enable, ppu.sprite_height_mask,
                                    ppu.address_increment};
    EXPECT_EQ(now, fields);
  }
}

// A Y above 240 counts back from 240 (mod 256) and is taken from line 240 on, never during the
// picture; $2006 leaves the scroll alone.
TEST_F(PpuRegisters, ScrollYAbove240WrapsAndAddressWritesKeepTheScroll) {
  for (auto [line, y, scroll_y] :
       {std::tuple{250, 250, 246}, {240, 240, 240}, {239, 16, 240}, {240, 241, 255}}) {
    ppu.scanline = uint16_t(line);
    wr(0x2005, 0x2D);
    wr(0x2005, y);
    EXPECT_EQ(ppu.scroll_y, scroll_y) << y;
  }
  set_address(0x2100);
  EXPECT_EQ(std::tuple(ppu.coarse_x, ppu.fine_x, ppu.scroll_y), std::tuple(5, 5, 255));
}

TEST_F(PpuRegisters, OtherAddressesReadFlatMemoryAndIgnoreWrites) {
  flat_[0x4009] = 0x34;
  EXPECT_EQ(rd(0x4009), 0x34);
  const PpuState before = ppu;
  for (uint32_t address : {0x2002u, 0x4017u}) wr(address, 0xFF);
  EXPECT_EQ(0, std::memcmp(&before, &ppu, sizeof ppu));
}

TEST_F(PpuRegisters, LatchHookSeesEveryDataAccess) {
  static std::vector<uint16_t> seen;
  seen.clear();
  mapper_state.mapper_ppu_latch_hook = [](uint16_t* a) { seen.push_back(*a); };
  set_address(0x4FD0);  // masked to $0FD0 before the hook
  wr(0x2007, 1);
  rd(0x2007);
  EXPECT_EQ(seen, (std::vector<uint16_t>{0x0FD0, 0x0FD1}));
}

}  // namespace
