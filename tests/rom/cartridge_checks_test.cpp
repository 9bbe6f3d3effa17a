// Our test cartridges check the machine from inside: each runs its checks and reports at $0300
// ($01 passed, $80 + n check n failed), and stores what it read for the tests below, which also
// look at the picture it shows.
#include <array>
#include <set>
#include <tuple>

#include "ppu/ppu.h"
#include "support/rom_runner.h"

namespace {

// The CPU cartridge covers loads, stores, every addressing mode, arithmetic and logic with their
// flags, branches, the stack, JSR/RTS, RTI, JMP indirect and BRK, and counts its checks at $0301.
TEST(CartridgeRom, EachPassesItsOwnChecksAndWaitsWithoutABadOpcode) {
  const std::pair<const char*, uint32_t> cartridges[] = {
      {"cpu_instr", 10}, {"ppu_regs", 12},   {"palette", 4}, {"scroll", 10}, {"sprite0_hit", 12},
      {"sprite_dma", 6}, {"apu_status", 40}, {"joypad", 4},  {"mmc1", 30},   {"mmc3", 60}};
  for (const auto& [name, frames] : cartridges) {
    const RomRun run = run_rom(name, frames);
    const uint8_t* r = &run.memory[0x300];
    EXPECT_EQ(r[0], 0x01) << name << ": check " << (r[0] & 0x7F) << std::hex << ", then $"
                          << int(r[1]) << " $" << int(r[2]) << " $" << int(r[3]) << " $"
                          << int(r[4]) << " $" << int(r[5]);
    EXPECT_EQ(run.cpu_result, kBudgetSpent)
        << name << " stopped at $" << std::hex << run.cpu_result;
  }
  EXPECT_EQ(run_rom("cpu_instr", 10).memory[0x301], 142) << "not every CPU check ran";
}

// $2002 clears vertical blank and the toggle, the dummy $FF read after $2006, no read buffer,
// increments 1 and 32. The cartridge writes $2000 = $02 in vertical blank and $2000 = $00 around
// line 100: the whole picture comes from name table $2800 ($2A), none from $2000 ($16).
TEST(PpuRegsRom, ReadsAreAsExpectedAndNameTableBit1ChangesOnlyInVerticalBlank) {
  const RomRun run = run_rom("ppu_regs", 12);
  const std::pair<uint16_t, uint8_t> reads[] = {
      {0x301, 0x80}, {0x302, 0x00},                                               // $2002 twice
      {0x310, 0xFF}, {0x311, 0x10}, {0x312, 0x11}, {0x313, 0x12}, {0x314, 0x13},  // step 1
      {0x318, 0xFF}, {0x319, 0x20}, {0x31A, 0x21}, {0x31B, 0x22},                 // step 32
  };
  for (const auto& [address, value] : reads)
    EXPECT_EQ(run.memory[address], value) << "at $" << std::hex << address;
  for (int y = 0; y < 240; ++y) {
    const bool shown = y >= 8 && y <= 232;
    for (int x = 0; x < 256; ++x) {
      const uint8_t pixel = run.frame[y * 272 + x];
      ASSERT_EQ(shown ? pixel & 0x3F : pixel, shown ? 0x2A : 0x3F) << "x " << x << " y " << y;
    }
  }
}

// Colour-0 slots written through $3F00/$3F10 only, direct reads, and the colours the renderer
// takes from palette memory.
TEST(PaletteRom, ColourZeroSlotsFollowTheLastBackdropWriteAndThePictureUsesThem) {
  const RomRun run = run_rom("palette", 4);
  // Read back after writing $0F, $01, $02, ... $27 to $3F00-$3F1F: the slots 0, 4, ... 28 hold
  // the $21 written last to $3F10; after $2C to $3F10 and $05/$06 to $3F04/$3F18 they hold $2C.
  const std::array<uint8_t, 32> written = {0x0F, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                                           0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x11, 0x12, 0x13,
                                           0x21, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A,
                                           0x1B, 0x1C, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27};
  for (int i = 0; i < 32; ++i) {
    const bool slot0 = i % 4 == 0;
    EXPECT_EQ(run.memory[0x310 + i], slot0 ? 0x21 : written[i])
        << "first read $3F" << std::hex << i;
    EXPECT_EQ(run.memory[0x330 + i], slot0 ? 0x2C : written[i])
        << "second read $3F" << std::hex << i;
  }
  // The picture: backdrop, tile and sprite colours.
  EXPECT_EQ(run.colour_at(10, 50), 0x2C);  // backdrop
  EXPECT_EQ(run.colour_at(250, 200), 0x2C);
  for (int x = 0; x < 256; x += 8)  // tile row 12 (lines 96-103): tiles 1, 2, 3 = $01-$03
    EXPECT_EQ(run.colour_at(x + 3, 97), 1 + x / 8 % 3) << "x " << x;
  EXPECT_EQ(run.colour_at(123, 104), 0x18);  // sprite 0: sprite palette 1 colour 1, $3F15
  EXPECT_EQ(run.colour_at(123, 108), 0x2C);  // below it
}

// x = 100, y = 20 above a sprite-0 split at line 120 and x = 300 below it (the name-table bit
// set by $2000, the new y of the second $2005 write dropped). Name table 0 column c: tile
// 1 + c mod 3 in palette 0; name table 1 row r: tile 1 + r mod 3 in palette 1 (vertical
// mirroring, so the tables below are the same two).
TEST(ScrollRom, SplitsAtSprite0AndScrollsAcrossBothNameTables) {
  const RomRun run = run_rom("scroll", 10);
  const auto line_matches = [&](int scroll_x, int line) {
    static constexpr int kTable0[3] = {0x16, 0x2A, 0x12}, kTable1[3] = {0x27, 0x15, 0x31};
    for (int x = 0; x < 256; ++x) {
      const int world = (scroll_x + x) % 512, y = (20 + line) % 240;
      if (run.colour_at(x, line) != (world < 256 ? kTable0[world / 8 % 3] : kTable1[y / 8 % 3]))
        return false;
    }
    return true;
  };
  int split = 8;
  while (split <= 232 && line_matches(100, split)) ++split;
  EXPECT_GE(split, 121) << "the top part ends early";
  EXPECT_LE(split, 122) << "the split comes late";
  for (int line = split; line <= 232; ++line) EXPECT_TRUE(line_matches(300, line)) << line;
}

// The cartridge counts lines from the start of vertical blank, one $2002 read a line, and stores
// the line it saw each hit on; F, without a hit, runs to the next vertical blank (243).
TEST(Sprite0HitRom, HitComesOnTheRightLineAndLastsUntilVerticalBlank) {
  const RomRun run = run_rom("sprite0_hit", 12);
  EXPECT_EQ(run.memory[0x305], 0x07) << "hits in A, B and C only";
  EXPECT_EQ(run.memory[0x301], 61) << "ring over a solid tile, Y 60: its first line";
  EXPECT_EQ(run.memory[0x302], 161) << "ring over a solid tile, Y 160: its first line";
  EXPECT_EQ(run.memory[0x303], 107)
      << "ring over the backdrop only, Y 100: its second-to-last line";
  EXPECT_EQ(run.memory[0x304], 243) << "a whole frame without a hit";
}

// The cartridge copies page $06 into sprite memory with $4014 and then overwrites sprite 63's Y
// three times through $2004 without moving $2003. Its sprite n: Y, tile, attributes, X.
TEST(SpriteDmaRom, CopiesThePageAndEverySpriteShowsInItsPlaceAndColour) {
  const RomRun run = run_rom("sprite_dma", 6);
  constexpr uint8_t kSpriteColours[4][3] = {// sprite palettes 0-3, colours 1-3
                                            {0x21, 0x27, 0x30},
                                            {0x11, 0x17, 0x29},
                                            {0x15, 0x1A, 0x2C},
                                            {0x24, 0x38, 0x01}};
  for (int n = 0; n < 64; ++n) {
    const int row = n / 8;
    const std::array<uint8_t, 4> s = {uint8_t(n == 63 ? 200 : 39 + 22 * row), uint8_t(1 + n % 3),
                                      uint8_t(row % 4), uint8_t(24 + 28 * (n % 8))};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ppu.oam[n * 4 + i], s[i]) << "sprite " << n;
    // The middle of the sprite.
    EXPECT_EQ(run.colour_at(s[3] + 4, s[0] + 5), kSpriteColours[s[2]][s[1] - 1]) << "sprite " << n;
  }
  EXPECT_EQ(run.colour_at(224, 197), 0x0F);  // sprite 63 left its DMA place
}

// The cartridge reads $4015 after length-counter starts, enables, disables and the halt bit, and
// once per sound frame while lengths of 2, 6, 8 and 10 frames run out ($0320 + i is read after
// i + 1 sound frames).
TEST(ApuStatusRom, StatusFollowsEnablesAndLoadedLengths) {
  const RomRun run = run_rom("apu_status", 40);
  const std::tuple<uint16_t, uint8_t, const char*> reads[] = {
      {0x310, 0x40, "power-on"},
      {0x330, 0x4F, "all four started"},
      {0x331, 0x45, "square 2 and noise disabled"},
      {0x332, 0x45, "$4007 while disabled loads no length"},
      {0x333, 0x45, "enabling loads no length"},
      {0x334, 0x47, "$4007 while enabled"},
      {0x335, 0x41, "the halt bit stops the length"},
      {0x336, 0x40, "all disabled"},
  };
  for (const auto& [address, value, what] : reads) EXPECT_EQ(run.memory[address], value) << what;
  const int frames[4] = {2, 6, 8, 10};
  for (int bit = 0; bit < 4; ++bit) {
    EXPECT_TRUE(run.memory[0x320 + frames[bit] - 2] >> bit & 1) << "bit " << bit << " ended early";
    EXPECT_FALSE(run.memory[0x320 + frames[bit]] >> bit & 1) << "bit " << bit << " ran too long";
  }
}

// Each frame the cartridge strobes both ports and stores 24 reads of each, then a 25th read and
// reads around writes of $01 and $00 to $4016. Port 1's stream changes at frame 5.
TEST(JoypadRom, ReadsDeliverTheCurrentStreamsBitByBitWithBit6Set) {
  const uint32_t port1 = 0xA5C3F1, port2 = 0x5A1E0F;
  const RomRun run = run_rom("joypad", 8, {{0, 1, 0x000001}, {5, 1, port1}, {0, 2, port2}});
  const auto bit_read = [](uint32_t stream, int k) { return 0x40 | (stream >> k & 1); };
  for (int k = 0; k < 24; ++k) {
    EXPECT_EQ(run.memory[0x310 + k], bit_read(port1, k)) << "port 1 read " << k + 1;
    EXPECT_EQ(run.memory[0x330 + k], bit_read(port2, k)) << "port 2 read " << k + 1;
  }
  EXPECT_EQ(run.memory[0x350], bit_read(port1, 0)) << "the 25th read starts over";
  EXPECT_EQ(run.memory[0x351], bit_read(port1, 1)) << "a write of $01 restarted the stream";
  EXPECT_EQ(run.memory[0x352], bit_read(port1, 0)) << "a write of $00 did not restart port 1";
  EXPECT_EQ(run.memory[0x353], bit_read(port2, 0)) << "a write of $00 did not restart port 2";
}

// The MMC3 cartridge's interrupt, armed with a latch of 120 in vertical blank, runs in line 118's
// CPU time and switches the background from line 119 on: plain above, stripes below.
TEST(MapperRom, Mmc3InterruptSplitsTheScreenAtItsLine) {
  const RomRun run = run_rom("mmc3", 60);
  const auto colours_in_line = [&](int line) {
    std::set<int> colours;
    for (int x = 0; x < 256; ++x) colours.insert(run.colour_at(x, line));
    return colours.size();
  };
  int split = 8;
  while (split <= 232 && colours_in_line(split) == 1) ++split;
  EXPECT_EQ(split, 119);
  for (int line = split; line <= 232; ++line) EXPECT_EQ(colours_in_line(line), 2u) << line;
}

}  // namespace
