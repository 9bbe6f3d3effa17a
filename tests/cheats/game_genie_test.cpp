#include "cheats/game_genie.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "support/mapper_fixture.h"

namespace {

// Decoding alone (no machine: nothing is patched). The letters count in either case, and any
// other character counts as A.
TEST(GameGenieDecode, AddressValueAndCompare) {
  ASSERT_EQ(shadow_context, nullptr);
  const struct {
    const char* code;
    uint32_t address;
    uint8_t value;
    int compare;  // -1 for a six-letter code
  } cases[] = {
      {"SXIOPO", 0x91D9, 0xAD, -1},     {"AAAAAA", 0x8000, 0x00, -1},
      {"NNNNNN", 0xFFFF, 0xFF, -1},     {"GOSSIP", 0xD1DD, 0x14, -1},
      {"ZEXPYGLA", 0x94A7, 0x02, 0x03}, {"APZLGITY", 0xB524, 0x10, 0x76},
      {"eoXUksVN", 0xBDAC, 0x98, 0xFE}, {"sxIOp!", 0x90D9, 0xA5, -1},
      {"SXIOP\xC4", 0x90D9, 0xA5, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    if (c.compare < 0) {
      gg_apply_6(c.code);
    } else {
      gg_apply_8(c.code);
      EXPECT_EQ(game_genie.compare, c.compare);
    }
    EXPECT_EQ(game_genie.address, c.address);
    EXPECT_EQ(game_genie.value, c.value);
  }
}

void set_codes(std::initializer_list<const char*> codes) {
  int32_t n = 0;
  for (const char* code : codes) gg_set_code_text(n++, code);
  gg_set_count(n);
}

// UNROM (mapper 2): a write to $8000 chooses the 16 KB bank at $8000; $C000 shows the last.
class GameGenie : public MapperFixture {
 protected:
  void TearDown() override {
    set_codes({});
    gg_set_enabled(true);
    MapperFixture::TearDown();
  }
  void power_on_unrom(uint32_t patch_offset = 0, uint8_t patch = 0) {
    InesBuilder b = InesBuilder::mapper(2, 4);
    if (patch_offset) b.prg_patches.push_back({patch_offset, {patch}});
    power_on(b);
  }
  // The byte of a 16 KB bank as seen at a CPU address in $8000-$BFFF.
  static uint8_t prg_byte(int bank, uint32_t address) {
    return cartridge.prg_rom[bank * 0x4000 + (address - 0x8000)];
  }
};

TEST_F(GameGenie, SixLetterCodesPatchEveryBankMappedAtASyncWhileSwitchedOn) {
  power_on_unrom();
  const uint8_t original = prg_byte(0, 0x91D9);
  ASSERT_NE(original, 0xAD);
  // Wrong lengths are skipped: as six-letter codes they would zero the byte at $8000.
  set_codes({"SXIOPO", "AAAAA", "AAAAAAA"});
  EXPECT_EQ(prg_byte(0, 0x91D9), original) << "codes wait for the next sync";
  cpu_write(0x8000, 1);
  EXPECT_EQ(prg_byte(1, 0x91D9), 0xAD);
  EXPECT_EQ(prg_byte(1, 0x8000), 2) << "bank number byte";
  EXPECT_EQ(prg_byte(0, 0x91D9), original) << "not mapped at that sync";
  cpu_write(0x8000, 0);
  EXPECT_EQ(prg_byte(0, 0x91D9), 0xAD);

  gg_set_enabled(false);
  cpu_write(0x8000, 2);
  EXPECT_EQ(prg_byte(2, 0x91D9), original) << "switched off";
  // A removed code's patch stays; banks mapped later are left alone.
  gg_set_enabled(true);
  set_codes({});
  cpu_write(0x8000, 3);
  EXPECT_EQ(prg_byte(3, 0x91D9), original);
  EXPECT_EQ(prg_byte(0, 0x91D9), 0xAD);
}

TEST_F(GameGenie, EightLetterCodesPatchOnlyWhereTheCompareValueIs) {
  power_on_unrom(2 * 0x4000 + 0x14A7, 0x03);  // bank 2 holds the compare value
  const uint8_t other = prg_byte(1, 0x94A7);
  ASSERT_NE(other, 0x03);
  set_codes({"ZEXPYGLA"});  // $94A7: 3 -> 2
  cpu_write(0x8000, 1);
  EXPECT_EQ(prg_byte(1, 0x94A7), other);
  cpu_write(0x8000, 2);
  EXPECT_EQ(prg_byte(2, 0x94A7), 0x02);
}

// The vectors are copied into flat memory before the codes run, so the copy lags one sync.
TEST_F(GameGenie, AVectorCodeReachesTheFlatCopyOnlyAtTheNextSync) {
  power_on(InesBuilder());  // mapper 0, 16 KB: $E000 shows offset $2000
  const uint8_t copy = flat_[0xFFFC];
  ASSERT_NE(copy, 0x12);
  set_codes({"ZOYNKY"});  // $FFFC = $12
  mapper_sync_prg();
  EXPECT_EQ(cartridge.prg_rom[0x3FFC], 0x12);
  EXPECT_EQ(flat_[0xFFFC], copy);
  mapper_sync_prg();
  EXPECT_EQ(flat_[0xFFFC], 0x12);
}

}  // namespace
