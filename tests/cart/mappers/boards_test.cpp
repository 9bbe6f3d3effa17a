#include <gtest/gtest.h>

#include "cart/mappers/mapper_cases.h"

namespace {

using MapperBoards = MapperCaseTest;
using MapperIrq = MapperCaseTest;

// Defaults: 128 KB PRG (16 banks of 8 KB), CHR as given; the set-up's windows are Std 0, 1, 14,
// 15 or Fixed 0, 1, 2, 3 unless a case changes them.
TEST_F(MapperBoards, RegistersSelectBanksPagesAndMirroring) {
  // clang-format off
  const MapperCase cases[] = {
      {"UNROM 0x8B reduces to 3", 2, 8, 0, {{0xFFFF, 0x8B}}, {6, 7, 14, 15}},
      {"Camerica latches at $C000 only", 71, 8, 0, {{0xC000, 0x8B}, {0xBFFF, 5}}, {6, 7, 14, 15}},
      {"CNROM masks with c - 1", 3, 2, 3, {{0x9000, 7}}, {}, seq(16)},
      {"AOROM 0x13", 7, 8, 0, {{0x8000, 0x13}}, {12, 13, 14, 15}, {}, 'S'},
      {"AOROM bit 4 clear", 7, 8, 0, {{0xC000, 0x02}}, {8, 9, 10, 11}, {}, 'L'},
      {"FFE F3xxx", 8, 8, 8, {{0x8000, 0x2D}}, {10, 11, 2, 3}, seq(40)},
      {"Color Dreams", 11, 4, 4, {{0x8000, 0x21}}, {4, 5, 6, 7}, seq(16)},
      {"GNROM", 66, 8, 4, {{0x8000, 0x31}}, {12, 13, 14, 15}, seq(8)},
      {"Irem 74HC161/32 0x23", 78, 8, 4, {{0x8000, 0x23}}, {6, 7, 14, 15}, seq(16)},
      {"Nina-1 $7FFD", 34, 8, 4, {{0x7FFD, 1}}, {4, 5, 6, 7}},
      {"Nina-1 registers", 34, 8, 4,
       {{0x8123, 2}, {0x7FFE, 3}, {0x7FFF, 1}, {0x7FFC, 5}, {0x6000, 9}},
       {8, 9, 10, 11}, cat(seq(12, 4), seq(4, 4))},
      {"100 in 1 $8000 bit 7 exchanges", 15, 8, 0, {{0x8000, 0x82}}, {5, 4, 6, 7}, {}, 'V'},
      {"100 in 1 $8002", 15, 8, 0, {{0x8002, 0x83}}, {7, 7, 7, 7}},
      {"100 in 1 $8003", 15, 8, 0, {{0x8003, 0x42}}, {0, 1, 4, 5}, {}, 'H'},
      {"100 in 1 masks b, exact addresses", 15, 2, 0, {{0x8000, 0x07}, {0x8004, 1}},
       {2, 3, 0, 1}},
      {"72 in 1 32 KB", 225, 8, 8, {{0x8085}}, {1, 2, 3, 4}, seq(40), 'H'},
      {"72 in 1 16 KB from bits 7-11", 225, 8, 8, {{0xB3C0}}, {9, 10, 9, 10}, seq(0), 'V'},
      {"1200 in 1 16 KB after a 32 KB write", 227, 8, 0, {{0x8009}, {0x8012}},
       {10, 11, 10, 11}, {}, 'V'},
      {"HK-SF3", 91, 8, 8,
       {{0x6001, 5}, {0x7002, 3}, {0x7FFB, 4}, {0x7FFC, 9}, {0x8000, 9}, {0x6004, 9}},
       {3, 4, 14, 15}, {0, 1, 10, 11, 4, 5, 6, 7}},
      {"Bandai", 16, 8, 8,
       {{0x6003, 9}, {0x7FF8, 2}, {0x8009, 2}, {0x8010, 5}, {0x600F, 1}, {0x6013, 7}},
       {4, 5, 14, 15}, {0, 1, 2, 9, 4, 5, 6, 7}, 'L'},
      {"VRC4 1b", 22, 8, 8,
       {{0x8000, 3}, {0xA000, 4}, {0x9000, 2}, {0xB001, 9}, {0xE000, 0x0F}, {0xB002, 0x20}},
       {3, 4, 14, 15}, {0, 4, 2, 3, 4, 5, 7, 7}, 'S'},
      {"VRC4 2a pairs count writes, masked", 21, 8, 4, {{0xB000, 7}, {0xC002, 3}}, {},
       {0, 1, 0x17, 3, 4, 5, 6, 7}},
      {"VRC4 2a stray writes pair too", 21, 8, 4,
       {{0x9000, 2}, {0x8001, 5}, {0xB005, 1}, {0xC003, 1}, {0xC004, 6}},
       {}, {0, 1, 2, 0x16, 4, 5, 6, 7}, 'L'},
      {"VRC4 2a PRG swap", 21, 8, 4, {{0x9002, 2}, {0x8000, 3}, {0xA000, 0x14}}, {0, 4, 3, 15}},
      {"VRC6", 24, 8, 8,
       {{0x8000, 0x8B}, {0xC000, 9}, {0xB003, 4}, {0xD002, 0x21}, {0xE003, 5}, {0xB002, 0x0C}},
       {6, 7, 9, 15}, {0, 1, 0x21, 3, 4, 5, 6, 5}, 'V'},
      {"Irem G-101 swapped", 32, 8, 8,
       {{0x9FFF, 3}, {0x8FFF, 0x15}, {0xAFFF, 7}, {0xBFF5, 0x33}, {0xBFF8, 9}},
       {0, 7, 5, 15}, {0, 1, 2, 3, 4, 0x33, 6, 7}, 'V'},
      {"Irem G-101 exact addresses", 32, 8, 8, {{0x9FFE, 3}, {0x8FFF, 2}}, {2, 1, 14, 15}},
      {"Taito TC0190", 33, 8, 8,
       {{0x8000, 0x12}, {0x8001, 3}, {0x8002, 5}, {0x8003, 1}, {0xA002, 0x1F}, {0x8004, 7}},
       {2, 3, 14, 15}, {10, 11, 2, 3, 4, 5, 0x1F, 7}},
      {"Sunsoft #4", 68, 8, 8, {{0x9000, 3}, {0xE000, 3}, {0xF000, 2}, {0x8800, 9}},
       {4, 5, 14, 15}, {0, 1, 6, 7, 4, 5, 6, 7}, 'S'},
      {"Mapper 40 $E000", 40, 8, 0, {{0xE123, 0x0B}, {0xC000, 1}}, {4, 5, 3, 7}},
      {"MMC5 PRG, CHR mode 0", 5, 8, 8,
       {{0x5114, 0x83}, {0x5115, 0x03}, {0x5120, 3}, {0x5127, 2}, {0x8000, 1}},
       {6, 15, 15, 15}, seq(16)},
      {"MMC5 1 KB mode", 5, 8, 8, {{0x5103, 3}, {0x5122, 9}}, {}, {0, 1, 9, 3, 4, 5, 6, 7}},
      {"MMC5 4 KB mode", 5, 8, 8, {{0x5103, 1}, {0x5123, 3}, {0x5127, 1}, {0x5121, 7}}, {},
       cat(seq(12, 4), seq(4, 4))},
      {"MMC5 2 KB mode", 5, 8, 8, {{0x5103, 2}, {0x5121, 5}, {0x5122, 9}}, {},
       cat({10, 11}, seq(2, 6))},
      {"MMC2 latches start on $FE", 9, 8, 8, {{0xB000, 1}, {0xC000, 2}, {0xD000, 3}, {0xE000, 4}},
       {0, 13, 14, 15}, cat(seq(8, 4), seq(16, 4))},
      {"MMC2 tile $FD at $1000, then $D000 acts and $E000 waits", 9, 8, 8,
       {{0xB000, 1}, {0xC000, 2}, {0xD000, 3}, {0xE000, 4}, {0x1FD8}, {0xD000, 5}, {0xE000, 6}},
       {}, cat(seq(8, 4), seq(20, 4))},
      {"MMC2 other tiles leave the latch", 9, 8, 8,
       {{0xB000, 1}, {0xC000, 2}, {0x0FC0}, {0x2FD0}, {0x1FE0}}, {}, seq(8, 4)},
      {"MMC2 decodes 4 KB ranges", 9, 8, 8, {{0xC000, 2}, {0xC123, 3}, {0xAFFF, 5}},
       {5, 13, 14, 15}},
      {"MMC4 exact addresses, 16 KB, masked CHR", 10, 8, 2,
       {{0xA000, 2}, {0xC000, 5}, {0xE000, 7}, {0xD123, 1}, {0xF000, 1}},
       {4, 5, 14, 15}, cat(seq(4, 4), seq(12, 4)), 'H'},
  };
  // clang-format on
  for (const MapperCase& c : cases) check(c);
}

// Mapper 23's nibble pair is not cleared by the set-up, so a pair left half done by an earlier
// game completes with the first write. A high-nibble write to $B001 shows which: it moves page 0
// only when it completes a pair.
TEST_F(MapperBoards, Vrc4_1aPairsNibblesByAddressParity) {
  power_on_mapper(23, 8, 4);
  run({{0xB001, 1}});
  if (chr_page_at(0) == 0) run({{0x8001}});  // it started a pair: complete it on no page
  run({{0xB000, 5},
       {0xB001, 1},
       {0xE004, 9},
       {0xC002, 2},
       {0xC003, 1},
       {0x9000, 3},
       {0x8000, 0x13}});
  EXPECT_EQ(banks(), (std::vector<int>{3, 1, 14, 15}));
  EXPECT_EQ(pages(), (std::vector<int>{0x15, 1, 2, 0x12, 4, 5, 6, 7}));
  EXPECT_EQ(mirroring(), 'L');
}

TEST_F(MapperBoards, Multicart227KeepsItsModeWordAcrossGames) {
  power_on_mapper(227, 8, 0);
  run({{0x8001}});
  power_on_mapper(227, 8, 0);  // the set-up's write of 0 to $8000 finds the word set
  EXPECT_EQ(banks(), (std::vector<int>{2, 3, 2, 3}));
}

TEST_F(MapperIrq, CountersInterruptOnTheRightHookCall) {
  struct Case {
    const char* what;
    int mapper;
    std::vector<Op> ops;
    int first, second;  // hook calls (cumulative) that raise the first two IRQs; 0: none
  };
  // clang-format off
  const Case cases[] = {
      {"MMC3 counts down from the latch", 4, {{0xC001, 5}, {0xE000}, {0xE001}}, 5, 11},
      {"MMC3 $C000 sets the counter", 4, {{0xC001, 9}, {0xC000, 2}, {0xE001}}, 2, 12},
      {"MMC3 latch 0 every call", 4, {{0xC001, 0}, {0xE000}, {0xE001}}, 1, 2},
      {"MMC3 $E000 disables", 4, {{0xC001, 5}, {0xE001}, {0xE000}}, 0, 0},
      {"MMC3 vblank reloads", 4, {{0xC001, 4}, {0xC000, 100}, {0xE001}, {kVblank}}, 4, 9},
      {"VRC4 counter 0xF0", 21, {{0xF000, 0xF0}, {0xF002, 1}}, 16, 272},
      {"VRC4 $F003 clears", 21, {{0xF001, 0xF0}, {0xF003}, {0xF002, 1}}, 256, 512},
      {"VRC4 $F002 never disables", 21, {{0xF000, 0xFE}, {0xF002, 1}, {0xF002, 0}}, 2, 258},
      {"VRC6 counter 0xF0", 24, {{0xF000, 0xF0}, {0xF001, 1}}, 16, 272},
      {"VRC6 $F001 disables", 24, {{0xF001, 1}, {0xF001, 0}}, 0, 0},
      {"mapper 40 every 37th call", 40, {}, 37, 74},
      {"mapper 40 $8000-$9FFF stops", 40, {{0x9FFF}}, 0, 0},
      {"mapper 40 $A000 restarts from 0", 40, {{kScanline}, {0x8000}, {0xB000}}, 37, 74},
      {"Bandai counts a line's cycles", 16, {{0x800B, 0xE8}, {0x800C, 0x03}, {0x800A, 1}}, 9, 0},
      {"Bandai at 114 on the first call", 16, {{0x600B, 114}, {0x600C, 0}, {0x600A, 1}}, 1, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    power_on_mapper(c.mapper, 8, 8);
    run(c.ops);
    const int first = calls_until_irq(300);
    const int then = first ? calls_until_irq(300) : 0;
    EXPECT_EQ(first, c.first);
    EXPECT_EQ(then ? first + then : 0, c.second);
  }
}

}  // namespace
