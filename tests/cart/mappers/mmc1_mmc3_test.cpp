#include <gtest/gtest.h>

#include "cart/mappers/mapper_cases.h"

namespace {

using MapperMmc1 = MapperCaseTest;
using MapperMmc3 = MapperCaseTest;

// Five serial writes, bit 0 first.
std::vector<Op> load(uint32_t address, uint8_t value) {
  std::vector<Op> ops;
  for (int i = 0; i < 5; ++i) ops.push_back({address, uint8_t(value >> i & 1)});
  return ops;
}

// The PRG modes, the CHR modes and mirroring as such are the MMC1 cartridge's checks; these are
// the large-image and masking rules.
TEST_F(MapperMmc1, LargeImagesAndChrMasks) {
  struct Case {
    const char* what;
    int prg, chr;
    uint8_t control, chr0, chr1, prg_reg;
    std::vector<int> banks, pages;
    char mirror;
  };
  // clang-format off
  const Case cases[] = {
      {"512 KB: CHR bit 4 moves the 16 KB window", 32, 4, 0x0D, 0x10, 0, 2, {36, 37, 62, 63}, {},
       'S'},
      {"512 KB: and the 32 KB window", 32, 4, 0x00, 0x10, 0, 1, {36, 37, 38, 39}, {}, 0},
      {"only 512 KB takes bit 4", 24, 4, 0x0E, 0x10, 0, 2, {4, 5, 46, 47}, {}, 0},
      {"CHR 4 KB mode masks, 24 KB", 8, 3, 0x1E, 7, 2, 0, {}, cat(seq(20, 4), seq(0, 4)), 0},
      {"CHR 8 KB mode uses half the mask", 8, 4, 0x0E, 4, 7, 0, {}, seq(0), 0},
      {"CHR 8 KB mode from a 4 KB boundary", 8, 2, 0x0E, 1, 7, 0, {}, seq(4), 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    std::vector<Op> ops;
    for (const auto& part : {load(0x8000, c.control), load(0xA000, c.chr0), load(0xC000, c.chr1),
                             load(0xE000, c.prg_reg)}) {
      ops.insert(ops.end(), part.begin(), part.end());
    }
    check({c.what, 1, c.prg, c.chr, ops, c.banks, c.pages, c.mirror});
  }
}

// Nothing is stored before the fifth bit; a write with bit 7 drops the partial bits and sets
// the control's 16 KB mode with the last bank fixed.
TEST_F(MapperMmc1, SerialPortCollectsFiveBitsAndBit7Abandons) {
  power_on_mapper(1, 8, 4);
  run({{0xE000, 0}, {0xE000, 1}, {0xE000, 1}, {0xE000, 0}});
  EXPECT_EQ(banks(), (std::vector<int>{0, 1, 14, 15}));
  run({{0xE000, 0}});
  EXPECT_EQ(banks(), (std::vector<int>{12, 13, 14, 15}));  // register 3 = 0b00110
  run(load(0x8000, 0x00));                                 // 32 KB mode: bank 6 of four wraps to 2
  EXPECT_EQ(banks(), (std::vector<int>{8, 9, 10, 11}));
  run({{0xE000, 1}, {0xE000, 1}, {0xA000, 0x80}});
  EXPECT_EQ(banks(), (std::vector<int>{12, 13, 14, 15}));
  EXPECT_EQ(mirroring(), 'L');
  run(load(0xE000, 1));
  EXPECT_EQ(banks(), (std::vector<int>{2, 3, 14, 15}));
}

// The cartridge checks both PRG modes, R0-R5 with and without invert and both mirroring modes;
// these are the rules around them.
TEST_F(MapperMmc3, BankSelectAndMirroringRules) {
  // clang-format off
  const MapperCase cases[] = {
      {"R6 reduced by the mask series", 4, 16, 8, {{0x8000, 6}, {0x8001, 0x45}}, {5, 1, 30, 31}},
      {"the PRG mode waits for an R6/R7 write", 4, 8, 8,
       {{0x8000, 6}, {0x8001, 3}, {0x8000, 0x40}}, {3, 1, 14, 15}},
      {"R7 write applies the mode", 4, 8, 8,
       {{0x8000, 6}, {0x8001, 3}, {0x8000, 0x47}, {0x8001, 4}}, {14, 4, 3, 15}},
      {"R0 keeps bit 0", 4, 8, 8, {{0x8000, 0}, {0x8001, 7}}, {}, cat({7, 8}, seq(2, 6))},
      {"invert acts on later writes only", 4, 8, 8,
       {{0x8000, 1}, {0x8001, 0x10}, {0x8000, 0x80}}, {}, {0, 1, 16, 17, 4, 5, 6, 7}},
      {"only the exact addresses answer", 4, 8, 8,
       {{0x8000, 6}, {0x8002, 7}, {0x9FFF, 5}, {0xA002, 0x40}, {0xBFFF, 1}},
       {0, 1, 14, 15}, seq(0)},
      {"$A000 bit 6 wins", 4, 8, 8, {{0xA000, 0x41}}, {}, {}, 'S'},
      {"bank writes leave the mirroring", 4, 8, 8,
       {{0xA000, 0x40}, {0x8000, 0}, {0x8001, 4}, {0x8000, 6}, {0x8001, 4}}, {}, {}, 'S'},
  };
  // clang-format on
  for (const MapperCase& c : cases) check(c);
}

TEST_F(MapperMmc3, OnlyA001ChangesTheSramEnable) {
  power_on_mapper(4, 8, 8);
  const struct {
    Op op;
    uint8_t enabled;
  } steps[] = {{{0xA001, 0x80}, 1}, {{0xA000, 0}, 1},    {{0x8001, 3}, 1},
               {{0xA001, 0x7F}, 0}, {{0xA000, 0x80}, 0}, {{0xE001, 0x80}, 0}};
  for (const auto& s : steps) {
    run({s.op});
    EXPECT_EQ(mapper_state.sram_enabled, s.enabled) << std::hex << s.op.address;
  }
  mapper_state.sram_enabled = 1;
}

}  // namespace
