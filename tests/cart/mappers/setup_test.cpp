#include <gtest/gtest.h>

#include <random>
#include <string>

#include "cart/mappers/mapper_cases.h"

namespace {

using MapperSetup = MapperCaseTest;

enum Entry : uint8_t { kDefault, k4100, k6000 };  // which entry besides $8000 gets the function

struct Row {
  int number;
  std::vector<int> banks;  // at set-up of a 128 KB image; empty: depends on an earlier game
  Entry entry = kDefault;
};

const std::vector<Row>& rows() {
  const std::vector<int> kStd = {0, 1, 14, 15}, kFixed = {0, 1, 2, 3};
  // clang-format off
  static const std::vector<Row> r = {
      {0, kStd}, {1, kStd}, {2, kStd}, {3, kStd}, {4, kStd}, {5, {15, 15, 15, 15}, k4100},
      {7, kFixed}, {8, kFixed}, {9, {0, 13, 14, 15}}, {10, kStd}, {11, kFixed}, {15, kFixed},
      {16, kStd, k6000}, {21, kStd}, {22, kStd}, {23, kStd}, {24, kStd}, {32, kStd}, {33, kStd},
      {34, kFixed, k6000}, {40, {4, 5, 6, 7}}, {66, kFixed}, {68, kStd}, {71, kStd}, {78, kStd},
      {91, {14, 15, 14, 15}, k6000}, {225, kFixed}, {227, {}}};
  // clang-format on
  return r;
}

// Every page the CPU and the PPU read through lies inside the image (or VRAM).
::testing::AssertionResult pages_inside() {
  CpuContext ctx;
  cpu_get_context(&ctx);
  const uint8_t* prg = cartridge.prg_rom;
  const uint8_t* prg_end = prg + cartridge.prg_rom_size * 16384u;
  for (int slot = 4; slot < 8; ++slot) {
    const uint8_t* p = ctx.pages[slot];
    if (p < prg || p + 8192 > prg_end || (p - prg) % 8192)
      return ::testing::AssertionFailure() << "CPU page " << slot;
  }
  const uint8_t* chr = cartridge.chr_rom;
  for (int i = 0; i < 8; ++i) {
    const uint8_t* p = ppu_pages.pattern_page[i];
    const bool inside =
        chr ? p >= chr && p + 1024 <= chr + cartridge.chr_rom_size * 8192u && (p - chr) % 1024 == 0
            : p == vram + i * 1024;
    if (!inside) return ::testing::AssertionFailure() << "pattern page " << i;
  }
  for (uint8_t* p : ppu_pages.nametable_page) {
    if (p && p != vram + 0x2000 && p != vram + 0x2400)
      return ::testing::AssertionFailure() << "name table";
  }
  return ::testing::AssertionSuccess();
}

// Rows run in order, so a board that takes over $4100 or $6000 is followed by one that must
// get the default entry back.
TEST_F(MapperSetup, EveryMapperHasItsBanksFirstPatternsAndWriteEntries) {
  size_t entries = 0;
  while (mapper_table[entries].name) ++entries;
  EXPECT_EQ(entries, rows().size());
  for (const Row& r : rows()) {
    SCOPED_TRACE(r.number);
    ASSERT_NE(mapper_find(uint32_t(r.number)), nullptr);
    power_on_mapper(r.number, 8, 4);
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_EQ(banks(), r.banks.empty() ? banks() : r.banks);
    // The latch boards show what their kept registers select; every other board starts on the
    // first 8 KB of CHR ROM.
    EXPECT_EQ(pages(), r.number == 9 || r.number == 10 ? pages() : seq(0));
    EXPECT_TRUE(pages_inside());
    const MemWriteFn own = mapper_state.mapper_write;
    EXPECT_EQ(write_table_[2].handler.write, own);
    EXPECT_EQ(write_table_[0].handler.write == &ignore_write, r.entry != k4100);
    EXPECT_EQ(write_table_[1].handler.write, r.entry == k6000 ? own : &sram_write);
  }
}

// A random address in $4100-$FFFF, half the time near the register addresses boards decode:
// the start or end of a 4 KB range, or MMC5's $51xx.
uint32_t fuzz_address(std::mt19937& rng) {
  static const uint8_t kHigh[] = {0x51, 0x60, 0x70, 0x7F, 0x80, 0x8F, 0x90, 0x9F,
                                  0xA0, 0xAF, 0xB0, 0xBF, 0xC0, 0xD0, 0xE0, 0xF0};
  const uint32_t r = rng();
  if (r & 1) return 0x4100 + (r >> 1) % 0xBF00;
  const uint32_t low = (r >> 8) & 0xFF;
  const uint32_t low_kinds[] = {low, low & 0x0F, 0x10 + low % 0x20, 0xF0 | (low & 0x0F)};
  return uint32_t(kHigh[(r >> 1) & 15]) << 8 | low_kinds[(r >> 5) & 3];
}

// Random writes over $4100-$FFFF and random hook calls never leave a page outside the image.
TEST_F(MapperSetup, FuzzedWritesKeepEveryPageInsideTheImage) {
  const struct { int prg, chr; } sizes[] = {{1, 0}, {8, 4}, {3, 3}, {32, 1}};
  std::mt19937 rng(1234);
  for (const Row& r : rows()) {
    for (const auto& size : sizes) {
      SCOPED_TRACE(std::to_string(r.number) + " " + std::to_string(size.prg) + "/" +
                   std::to_string(size.chr));
      power_on_mapper(r.number, size.prg, size.chr);
      ASSERT_TRUE(pages_inside());
      for (int i = 0; i < 20000; ++i) {
        const uint32_t pick = rng();
        const uint32_t kind = pick % 16;
        if (kind == 0 && mapper_state.mapper_scanline_hook) {
          mapper_state.mapper_scanline_hook();
        } else if (kind == 1 && mapper_state.mapper_vblank_hook) {
          mapper_state.mapper_vblank_hook();
        } else if (kind == 2 && mapper_state.mapper_ppu_latch_hook) {
          uint16_t a = uint16_t((pick >> 4) & 0x3FFF);
          mapper_state.mapper_ppu_latch_hook(&a);
        } else {
          cpu_write(fuzz_address(rng), uint8_t(pick >> 8));
        }
        ASSERT_TRUE(pages_inside()) << "after step " << i;
      }
      take_irq();
    }
  }
  mapper_state.sram_enabled = 1;
}

}  // namespace
